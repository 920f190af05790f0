#include "HelpViewer.h"

#include <QCoreApplication>
#include <QFile>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "HelpPages.h"
#include "Language.h"

// The help pages sit in a static library: registering them here keeps the
// linker from dropping them. Q_INIT_RESOURCE must be used outside a namespace.
static void RegisterHelpPages() {
    Q_INIT_RESOURCE(help);
}

namespace {

QString WindowTitle() {
    return QCoreApplication::translate("HelpViewer", "Aide de PC <--> Orka");
}

QUrl ResourceUrl(const QString& resourcePath) {
    // ":/help/x.html" -> "qrc:/help/x.html"; relative links then resolve
    // inside the resources.
    return QUrl(QStringLiteral("qrc") + resourcePath);
}

}  // namespace

THelpViewer::THelpViewer(QWidget* parent)
    : QDialog(parent),
      browser_(new QTextBrowser(this)),
      back_(new QPushButton(QCoreApplication::translate("HelpViewer", "< Précédent"), this)),
      forward_(new QPushButton(QCoreApplication::translate("HelpViewer", "Suivant >"), this)),
      home_(new QPushButton(QCoreApplication::translate("HelpViewer", "Sommaire"), this)) {
    static const bool registered = (RegisterHelpPages(), true);
    (void)registered;

    setWindowTitle(WindowTitle());
    setSizeGripEnabled(true);
    resize(700, 620);

    browser_->setOpenExternalLinks(true);
    back_->setEnabled(false);
    forward_->setEnabled(false);
    auto* close = new QPushButton(QCoreApplication::translate("HelpViewer", "Fermer"), this);
    // Enter in the page must not close the window.
    for (QPushButton* button : {back_, forward_, home_, close}) {
        button->setAutoDefault(false);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back_);
    buttons->addWidget(forward_);
    buttons->addWidget(home_);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    connect(back_, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QPushButton::clicked, this,
            [this] { ShowPage(QString::fromLatin1(orkahelp::HelpContentsPath())); });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &THelpViewer::PageChanged);
}

void THelpViewer::ShowPage(const QString& frenchPath) {
    // The English pages mirror the French ones under ":/help/en/", same
    // names; a page without its English copy is shown in French.
    QString resourcePath = frenchPath;
    if (orka::CurrentLanguage() == orka::Language::English &&
        frenchPath.startsWith(QLatin1String(":/help/"))) {
        const QString english = QStringLiteral(":/help/en/") + frenchPath.mid(7);
        if (QFile::exists(english))
            resourcePath = english;
    }
    if (!QFile::exists(resourcePath)) {
        browser_->setHtml(
            QCoreApplication::translate("HelpViewer",
                                        "<p>La page d'aide <code>%1</code> est introuvable.</p>")
                .arg(resourcePath.toHtmlEscaped()));
        setWindowTitle(WindowTitle());
        return;
    }
    browser_->setSource(ResourceUrl(resourcePath));
}

QString THelpViewer::PageTitle() const {
    return browser_->documentTitle();
}

void THelpViewer::PageChanged(const QUrl&) {
    const QString title = PageTitle();
    setWindowTitle(title.isEmpty() ? WindowTitle() : WindowTitle() + QStringLiteral(" - ") + title);
}

THelpViewer* THelpViewer::ViewerFor(QWidget* parent) {
    QWidget* owner = parent != nullptr ? parent->window() : nullptr;
    if (auto* self = qobject_cast<THelpViewer*>(owner)) {
        return self;
    }
    if (owner != nullptr) {
        auto* viewer = owner->findChild<THelpViewer*>(QString(), Qt::FindDirectChildrenOnly);
        return viewer != nullptr ? viewer : new THelpViewer(owner);
    }
    // Without an owner the window lives until the user closes it.
    static QPointer<THelpViewer> orphan;
    if (orphan.isNull()) {
        orphan = new THelpViewer;
        orphan->setAttribute(Qt::WA_DeleteOnClose);
    }
    return orphan;
}

THelpViewer* THelpViewer::Present(QWidget* parent, const QString& resourcePath) {
    THelpViewer* viewer = ViewerFor(parent);
    viewer->ShowPage(resourcePath);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
    return viewer;
}

THelpViewer* THelpViewer::ShowHelpContext(QWidget* parent, int context) {
    return Present(parent, QString::fromLatin1(orkahelp::HelpPagePath(context)));
}

THelpViewer* THelpViewer::ShowHelpContents(QWidget* parent) {
    return Present(parent, QString::fromLatin1(orkahelp::HelpContentsPath()));
}

THelpViewer* THelpViewer::ShowProgDHHelp(QWidget* parent) {
    return Present(parent, QString::fromLatin1(orkahelp::ProgDHHelpPath()));
}
