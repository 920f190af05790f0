// The help pages and the help window: every context opens the page of its
// tab, every link between pages leads somewhere, and every file of
// resources/help is compiled in.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTextBrowser>
#include <QWidget>
#include <QtTest>

#include "HelpPages.h"
#include "HelpViewer.h"

namespace {

QString ReadResource(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

QStringList FilesUnder(const QString& root) {
    QStringList files;
    QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        files << QDir(root).relativeFilePath(it.next());
    }
    files.sort();
    return files;
}

QPushButton* ButtonNamed(QWidget* window, const QString& text) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

}  // namespace

class TestHelp : public QObject {
    Q_OBJECT

  private Q_SLOTS:
    void contextOpensItsTabPage_data() {
        QTest::addColumn<int>("context");
        QTest::addColumn<QString>("title");
        QTest::newRow("Réglages") << 10 << QStringLiteral("Réglages");
        QTest::newRow("Compensations") << 20 << QStringLiteral("Compensations");
        QTest::newRow("Automatismes") << 30 << QStringLiteral("Automatismes");
        QTest::newRow("Présentation") << 40 << QStringLiteral("Présentation");
        QTest::newRow("Paramétrages") << 50 << QStringLiteral("Paramétrages");
        QTest::newRow("contents") << 0 << QStringLiteral("Sommaire de l'aide");
        // Numbers that name no topic fall back on the contents.
        QTest::newRow("between tabs") << 15 << QStringLiteral("Sommaire de l'aide");
        QTest::newRow("past the last tab") << 60 << QStringLiteral("Sommaire de l'aide");
        QTest::newRow("negative") << -10 << QStringLiteral("Sommaire de l'aide");
    }
    void contextOpensItsTabPage() {
        QFETCH(int, context);
        QFETCH(QString, title);
        QVERIFY(QFile::exists(QString::fromLatin1(orkahelp::HelpPagePath(context))));

        QWidget window;
        THelpViewer* viewer = THelpViewer::ShowHelpContext(&window, context);
        QVERIFY(viewer != nullptr);
        QVERIFY(viewer->isVisible());
        QCOMPARE(viewer->PageTitle(), title);
        QVERIFY(viewer->windowTitle().endsWith(title));
    }

    void contentsAndScheduleDialogPages() {
        QWidget window;
        QCOMPARE(THelpViewer::ShowHelpContents(&window)->PageTitle(),
                 QStringLiteral("Sommaire de l'aide"));
        QCOMPARE(THelpViewer::ShowProgDHHelp(&window)->PageTitle(),
                 QStringLiteral("Programmateur Date et Heure"));
    }

    // F1 pressed on several tabs reuses one window per top-level window, and
    // its buttons walk the pages seen.
    void oneWindowPerOwnerWithHistory() {
        QWidget window;
        auto* child = new QWidget(&window);
        THelpViewer* first = THelpViewer::ShowHelpContext(child, 10);
        THelpViewer* second = THelpViewer::ShowHelpContext(&window, 30);
        QCOMPARE(second, first);
        QCOMPARE(window.findChildren<THelpViewer*>().size(), 1);

        QWidget dialog;  // another top-level window, such as the schedule dialog
        QVERIFY(THelpViewer::ShowProgDHHelp(&dialog) != first);

        QPushButton* back = ButtonNamed(first, QStringLiteral("< Précédent"));
        QPushButton* home = ButtonNamed(first, QStringLiteral("Sommaire"));
        QVERIFY(back != nullptr && home != nullptr);
        QVERIFY(back->isEnabled());
        back->click();
        QCOMPARE(first->PageTitle(), QStringLiteral("Réglages"));
        home->click();
        QCOMPARE(first->PageTitle(), QStringLiteral("Sommaire de l'aide"));
    }

    void missingPageShowsANotice() {
        THelpViewer viewer;
        viewer.ShowPage(QStringLiteral(":/help/PcOrka/nowhere.html"));
        QVERIFY(viewer.Browser()->toPlainText().contains(QStringLiteral("introuvable")));
    }

    // A page added to resources/help but forgotten in help.qrc would be
    // installed as a file yet missing from the program.
    void everyHelpFileIsCompiledIn() {
        const QStringList onDisk = FilesUnder(QStringLiteral(ORKA_HELP_SOURCE_DIR));
        QVERIFY(!onDisk.isEmpty());
        QCOMPARE(FilesUnder(QStringLiteral(":/help")), onDisk);
    }

    // Every page has a title and its links (pages, anchors, style sheet)
    // resolve inside the resources.
    void everyLinkResolves() {
        const QRegularExpression link(QStringLiteral("(?:href|src)=\"([^\"]+)\""));
        const QRegularExpression title(QStringLiteral("<title>([^<]+)</title>"));
        int pages = 0;
        for (const QString& page : FilesUnder(QStringLiteral(":/help"))) {
            if (!page.endsWith(QLatin1String(".html"))) {
                continue;
            }
            ++pages;
            const QUrl base(QStringLiteral("qrc:/help/") + page);
            const QString html = ReadResource(QStringLiteral(":/help/") + page);
            QVERIFY2(title.match(html).hasMatch(), qPrintable(page));
            for (auto match = link.globalMatch(html); match.hasNext();) {
                const QString target = match.next().captured(1);
                if (target.startsWith(QLatin1String("http"))) {
                    continue;
                }
                const QUrl resolved = base.resolved(QUrl(target));
                const QString path = QLatin1Char(':') + resolved.path();
                const QString where = page + QStringLiteral(" -> ") + target;
                QVERIFY2(QFile::exists(path), qPrintable(where));
                if (resolved.hasFragment()) {
                    const QString anchor = QStringLiteral("id=\"%1\"").arg(resolved.fragment());
                    QVERIFY2(ReadResource(path).contains(anchor), qPrintable(where));
                }
            }
        }
        QVERIFY(pages >= 7);
    }

    // Every French page has its English twin under en/, with the same name.
    void everyPageInEnglishToo() {
        for (const QString& page : FilesUnder(QStringLiteral(":/help"))) {
            if (page.endsWith(QLatin1String(".html")) && !page.startsWith(QLatin1String("en/")))
                QVERIFY2(QFile::exists(QStringLiteral(":/help/en/") + page), qPrintable(page));
        }
    }
};

QTEST_MAIN(TestHelp)
#include "test_help.moc"
