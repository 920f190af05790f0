// The window on the keyboard and for assistive technology, against the
// simulated camera: the shutter key half-presses before it shoots, the
// shortcuts, their tooltips, the tab order, and a name and a description for
// every control.
#include <QTemporaryDir>
#include <QTest>
#include <QtWidgets>

#include "CameraWindowTest.h"
#include "SessionStrip.h"
#include "SimLog.h"
#include "orkasim.h"

namespace {
constexpr uint16_t kCapture = 0x1006;
}

class TestKeyboard : public TCameraWindowTest {
    Q_OBJECT

    size_t captures() { return simlog::HostCommands(kCapture).size(); }
    QString status() { return get<QLabel>("InfoStatut")->toolTip(); }
    void key(QKeyCombination keys) { QTest::keyClick(base, keys.key(), keys.keyboardModifiers()); }

  private Q_SLOTS:
    void initTestCase() {
        QLocale::setDefault(QLocale::French);
        QVERIFY(images.isValid());
    }
    void init() {
        QVERIFY(OpenCameraWindow());
        base->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(base));
        QCursor::setPos(base->mapToGlobal(QPoint(5, 5)));  // the mouse off the shutter
    }
    void cleanup() {
        const std::string errors = CloseWindow();
        QVERIFY2(errors.empty(), errors.c_str());
    }

    // F5 once: the half press shows (glyph, status) and no picture is taken,
    // however long it holds; F5 again shoots. Échap releases a half press;
    // Espace on the focused button follows the same rule.
    void shutterKeyHalfPressesFirst() {
        get<QCheckBox>("PreVisuActif")->setChecked(false);
        key(Qt::CTRL | Qt::Key_K);
        QTRY_VERIFY(Camera().Connected);
        cam.clearLog();

        key(QKeyCombination(Qt::Key_F5));
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(Shutter().ShownGlyph, int(gClic2));
        QVERIFY2(status().contains(QStringLiteral("Demi-pression")), qPrintable(status()));
        QTest::qWait(300);
        IdleRefresh();
        QVERIFY(Shutter().HalfPressed);  // held without the mouse
        QCOMPARE(captures(), size_t{0});
        key(QKeyCombination(Qt::Key_F5));
        QTRY_COMPARE(Strip()->Count(), 1);
        QCOMPARE(captures(), size_t{1});
        // Screen readers are told of the picture, and of a warning over it.
        auto* announcer = get<QWidget>("AnnonceEtat");
        QVERIFY2(announcer->accessibleName().startsWith(QStringLiteral("Image enregistrée : ") +
                                                        Strip()->PathAt(0)),
                 qPrintable(announcer->accessibleName()));
        QVERIFY(announcer->isVisible());
        Say(orka::status::Warning, QStringLiteral("Risque de flou"));
        QCOMPARE(announcer->accessibleName(), QStringLiteral("Risque de flou"));
        Say(orka::status::Warning, QString());

        key(QKeyCombination(Qt::Key_F5));
        QTRY_VERIFY(Shutter().HalfPressed);
        key(QKeyCombination(Qt::Key_Escape));
        IdleRefresh();
        QVERIFY(!Shutter().HalfPressed);
        QCOMPARE(Shutter().ShownGlyph, int(gClic0));
        key(QKeyCombination(Qt::Key_F5));  // a new half press, not a shot
        QCOMPARE(captures(), size_t{1});
        key(QKeyCombination(Qt::Key_Escape));

        QWidget* shutter = get<QWidget>("PriseVue");
        shutter->setFocus();
        QTest::keyClick(shutter, Qt::Key_Space);
        QTRY_VERIFY(Shutter().HalfPressed);
        QCOMPARE(captures(), size_t{1});
        QTest::keyClick(shutter, Qt::Key_Space);
        QTRY_COMPARE(Strip()->Count(), 2);

        // Alt+arrows browse the strip from anywhere, stopping at its ends.
        get<QWidget>("ConnectAPN")->setFocus();
        key(Qt::ALT | Qt::Key_Right);
        QCOMPARE(Strip()->CurrentRow(), 0);
        QVERIFY(Strip()->List()->hasFocus());
        key(Qt::ALT | Qt::Key_Right);
        key(Qt::ALT | Qt::Key_Right);
        QCOMPARE(Strip()->CurrentRow(), 1);
        key(Qt::ALT | Qt::Key_Left);
        QCOMPARE(Strip()->CurrentRow(), 0);

        key(Qt::CTRL | Qt::Key_K);  // disconnects
        QTRY_VERIFY(!Camera().Connected);
        key(QKeyCombination(Qt::Key_F5));  // no camera: said so, nothing held
        QVERIFY(!Shutter().HalfPressed);
        QVERIFY2(status().contains(QStringLiteral("n'est pas connecté")), qPrintable(status()));
    }

    // The tabs by Ctrl+digit, Ctrl+, the last; each shortcut in its tooltip;
    // Tab follows the layout.
    void shortcutsAndTabOrder() {
        auto* tabs = get<QTabWidget>("CommandeAPN");
        key(Qt::CTRL | Qt::Key_3);
        QCOMPARE(tabs->currentIndex(), 2);
        key(Qt::CTRL | Qt::Key_Comma);
        QCOMPARE(tabs->currentIndex(), tabs->count() - 1);

        const std::pair<const char*, const char*> shown[] = {{"ConnectAPN", "(Ctrl+K)"},
                                                             {"PreVisuActif", "(Ctrl+L)"},
                                                             {"PriseVue", "(F5)"},
                                                             {"Aide", "(F1)"}};
        for (const auto& [name, keys] : shown)
            QVERIFY2(get<QWidget>(name)->toolTip().endsWith(QLatin1String(keys)), name);

        // Top to bottom in the right column, then the strip, and round.
        key(Qt::CTRL | Qt::Key_1);
        const char* const order[] = {"eDFoc", "PriseVue", "ConnectAPN", "Vignettes"};
        get<QWidget>(order[0])->setFocus();
        for (size_t i = 1; i < std::size(order); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget()->objectName(), QLatin1String(order[i]));
        }
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);  // the folder button is off
        QVERIFY(tabs->isAncestorOf(QApplication::focusWidget()));
    }

    // Every control a user reaches has a name and a description.
    void everyControlIsNamed() {
        QList<QWidget*> controls = base->findChildren<QWidget*>();
        QStringList missing;
        for (QWidget* w : controls) {
            const QString name = w->objectName();
            if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) ||
                name.contains(QLatin1String("Item")) || w->focusPolicy() == Qt::NoFocus ||
                qobject_cast<QTabBar*>(w->parentWidget()))  // the toolkit's own parts
                continue;
            if (w->accessibleName().isEmpty() || w->accessibleDescription().isEmpty())
                missing << name;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(u' ')));
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
