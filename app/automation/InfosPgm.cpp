#include "InfosPgm.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QUrl>

namespace {

constexpr char kProgramCaption[] = "PC <--> Orka";
constexpr char kCopyright[] = "© Les auteurs de PCOrka";

QLabel* MakeLabel(QWidget* parent, const QRect& geometry, const QString& text) {
    auto* label = new QLabel(text, parent);
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

}  // namespace

TInfosPgm::TInfosPgm(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("A propos"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(214, 123);

    VersionPgm = MakeLabel(this, QRect(11, 10, 191, 17), QString());
    QFont bold = VersionPgm->font();
    bold.setBold(true);
    VersionPgm->setFont(bold);
    CopyRight = MakeLabel(this, QRect(4, 34, 206, 17), QString());
    CopyRight->setFont(bold);
    SiteWEB = MakeLabel(this, QRect(4, 58, 206, 17), QString::fromLatin1(kWebAddress));
    QPalette blue = SiteWEB->palette();
    blue.setColor(QPalette::WindowText, Qt::blue);
    SiteWEB->setPalette(blue);
    SiteWEB->setCursor(Qt::PointingHandCursor);
    SiteWEB->installEventFilter(this);

    Ok = new QPushButton(QStringLiteral("OK"), this);
    Ok->setGeometry(69, 88, 75, 25);
    Ok->setDefault(true);
    connect(Ok, &QPushButton::clicked, this, &QDialog::accept);

    ReadProgramVersion();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void TInfosPgm::SetVersionInfo(const QString& version, const QString& copyright) {
    if (version.isEmpty()) {
        VersionPgm->setText(QString::fromLatin1(kProgramCaption));
        CopyRight->clear();
        return;
    }
    VersionPgm->setText(QString::fromLatin1(kProgramCaption) + QLatin1Char(' ') + version);
    CopyRight->setText(copyright);
}

void TInfosPgm::ReadProgramVersion() {
#ifdef PCORKA_VERSION
    SetVersionInfo(QStringLiteral(PCORKA_VERSION), QString::fromUtf8(kCopyright));
#else
    SetVersionInfo(QString(), QString());
#endif
}

void TInfosPgm::SiteWEBClick() {
    QDesktopServices::openUrl(QUrl(SiteWEB->text()));
}

bool TInfosPgm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == SiteWEB && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            SiteWEB->rect().contains(mouse->position().toPoint()))
            SiteWEBClick();
    }
    return QDialog::eventFilter(watched, event);
}
