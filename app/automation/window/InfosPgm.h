// TInfosPgm, the about box "A propos": the program's name and version, a
// copyright line and what the program is for. The program has no web page
// of its own, so the box names none. Created once at program start.
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
    explicit TInfosPgm(QWidget* parent = nullptr);
    ~TInfosPgm() override;

    // Fills the two top labels from the program's version information: the
    // version shown after "PC <--> Orka "; with no version the short caption
    // "PC <--> Orka" and an empty copyright line.
    void SetVersionInfo(const QString& version, const QString& copyright);
    // The version information built into the program.
    void ReadProgramVersion();

  private:
    std::unique_ptr<Ui::TInfosPgm> ui_;
    // The form's controls (tests find them by these names).
    QLabel* VersionPgm = nullptr;
    QLabel* CopyRight = nullptr;
    QPushButton* Ok = nullptr;
};
