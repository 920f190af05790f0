// TInfosPgm, the about box "A propos": the program's name and version, a
// copyright line and the address of its web site, which opens in the user's
// browser. Created once at program start.
#pragma once

#include <QDialog>
#include <QString>

#include <memory>

class QLabel;
class QPushButton;

namespace Ui {
class TInfosPgm;
}

class TInfosPgm : public QDialog {
    Q_OBJECT

  public:
    // The address behind SiteWEB.
    static constexpr const char* kWebAddress = "https://example.org/pcorka";

    explicit TInfosPgm(QWidget* parent = nullptr);
    ~TInfosPgm() override;

    // Fills the two top labels from the program's version information: the
    // version shown after "PC <--> Orka "; with no version the short caption
    // "PC <--> Orka" and an empty copyright line.
    void SetVersionInfo(const QString& version, const QString& copyright);
    // The version information built into the program.
    void ReadProgramVersion();

  public Q_SLOTS:
    // Opens the address of SiteWEB in the browser.
    void SiteWEBClick();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    std::unique_ptr<Ui::TInfosPgm> ui_;
    // The form's controls (tests find them by these names).
    QLabel* VersionPgm = nullptr;
    QLabel* CopyRight = nullptr;
    QLabel* SiteWEB = nullptr;
    QPushButton* Ok = nullptr;
};
