// "Programmateur Date et Heure": the modal dialog in which the user builds
// the trigger schedule (dates and time slots). It is created with the main
// window and lives as long as it, so the schedule, an unfinished entry and
// the one-second evaluation survive closing and reopening it; the evaluation
// also runs while the dialog is hidden.
#ifndef PCORKA_PROGDH_H
#define PCORKA_PROGDH_H

#include <QDateTime>
#include <QDialog>
#include <QIcon>
#include <QTimer>
#include <functional>

#include "Schedule.h"

class QDateEdit;
class QGroupBox;
class QLabel;
class QPushButton;
class QTimeEdit;
class QTreeWidget;
class QTreeWidgetItem;

class TParamPgm : public QDialog {
    Q_OBJECT

  public:
    explicit TParamPgm(QWidget* parent = nullptr);
    ~TParamPgm() override;

    // Read by the main window's idle handler and by the detection gate.
    bool ScheduleInForce() const { return schedule_.ScheduleInForce(); }
    bool InScheduledSlot() const { return schedule_.InScheduledSlot(); }
    const orka::Schedule& Schedule() const { return schedule_; }
    // The one-second evaluation runs (the dialog's Timer).
    bool TimerRunning() const { return Timer.isActive(); }

    // Tests: the clock giving the present local date and time, and the
    // warning box (QMessageBox::warning by default).
    void SetClock(std::function<QDateTime()> clock) { clock_ = std::move(clock); }
    void SetWarningHook(std::function<void(const QString&)> hook) { warn_ = std::move(hook); }

  Q_SIGNALS:
    // "Aide": the window opens the help page of this topic ("ProgDH").
    void helpRequested(const QString& topic);

  public Q_SLOTS:
    void NouvDateClick();
    void NouvHeureClick();
    void ValiderClick();
    void AnnulerClick();
    void AideClick();
    void TimerTimer();

  public:
    // Escape, like "Annuler".
    void reject() override;

  protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void SelectDHKeyUp(int key);
    void Warn(const QString& text);
    void RebuildTree(QDate selectDay, int selectChild);
    void UpdateControls();
    void SyncTimer();
    QDate SelectedDate(int* child = nullptr) const;

    // Widgets, by the names of the form (objectName): tests find them so.
    QTreeWidget* SelectDH = nullptr;
    QGroupBox* GroupDate = nullptr;
    QGroupBox* GroupHeure = nullptr;
    QPushButton* NouvDate = nullptr;
    QPushButton* NouvHeure = nullptr;
    QPushButton* Valider = nullptr;
    QPushButton* Aide = nullptr;
    QPushButton* Annuler = nullptr;
    QLabel* ImgActif = nullptr;
    QDateEdit* DatePicker = nullptr;  // exists during a date entry
    QTimeEdit* TimePicker = nullptr;  // exists during a slot entry
    QTimer Timer;

    orka::Schedule schedule_;
    std::function<QDateTime()> clock_;
    std::function<void(const QString&)> warn_;
    QIcon dateIcon_;
    QIcon timeIcon_;
    QPixmap lampOff_;
    QPixmap lampOn_;
    bool DialogVisible = false;
    bool centred_ = false;
};

#endif
