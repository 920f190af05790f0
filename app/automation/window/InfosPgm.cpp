#include "InfosPgm.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "ui_InfosPgm.h"

namespace {

constexpr char kProgramCaption[] = "PC <--> Orka";
constexpr char kCopyright[] = QT_TRANSLATE_NOOP("InfosPgm", "© Les auteurs de PCOrka");

}  // namespace

TInfosPgm::TInfosPgm(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      ui_(std::make_unique<Ui::TInfosPgm>()) {
    ui_->setupUi(this);
    setFixedSize(size());
    VersionPgm = ui_->VersionPgm;
    CopyRight = ui_->CopyRight;
    Ok = ui_->Ok;

    QFont bold = VersionPgm->font();
    bold.setBold(true);
    VersionPgm->setFont(bold);
    CopyRight->setFont(bold);

    ReadProgramVersion();
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TInfosPgm::~TInfosPgm() = default;

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
    SetVersionInfo(QStringLiteral(PCORKA_VERSION),
                   QCoreApplication::translate("InfosPgm", kCopyright));
#else
    SetVersionInfo(QString(), QString());
#endif
}
