// The trigger schedule: dates, each with time slots, the rules for adding
// and removing them, and whether the present moment lies in a slot. No
// widgets here; the dialog TParamPgm (ProgDH.h) shows and edits it.
#ifndef PCORKA_SCHEDULE_H
#define PCORKA_SCHEDULE_H

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>
#include <vector>

namespace orka {

// A local wall-clock instant: milliseconds since the start of Julian day 0,
// that is day number x 86,400,000 + time of day. Exact, sortable, and free of
// time-zone changes (a slot set at 10:00 means 10:00 on the clock).
using WallTime = int64_t;

WallTime ToWallTime(QDate date, QTime time = QTime(0, 0));
WallTime ToWallTime(const QDateTime& local);
QDate WallDate(WallTime t);
QTime WallTimeOfDay(WallTime t);

// Texts of the schedule, in the short date and long time formats.
QString ScheduleDateText(QDate date);       // "dd/MM/yyyy"
QString ScheduleTimeText(QTime time);       // "HH:mm:ss"
QString ScheduleDateNodeText(QDate date);   // "Le " + date
QString ScheduleStartNodeText(QTime time);  // "Début : " + time
QString ScheduleEndNodeText(QTime time);    // "Fin : " + time

struct ScheduleSlot {
    WallTime Start;
    WallTime End;  // > Start, same date
};

struct ScheduleDay {
    QDate Date;
    std::vector<ScheduleSlot> Slots;  // by start
};

// Result of one step of an entry.
struct ScheduleStep {
    bool Done = false;  // the step was taken
    QString Warning;    // not empty: the rule refused the value, the entry stays open
};

class Schedule {
  public:
    // The entry in progress: none, a date, the start of a slot, its end.
    enum class Entry { None, Date, SlotStart, SlotEnd };

    Entry CurrentEntry() const { return entry_; }
    bool Editing() const { return entry_ != Entry::None; }

    // Date entry ("Nouvelle date" then "Valider la date").
    bool BeginDate();
    ScheduleStep CommitDate(QDate date);

    // Slot entry ("Nouvelle tranche horaire", "Valider l'heure de Début",
    // "Valider l'heure de Fin"). The start goes under `day`, which must be a
    // date of the schedule; the end goes under the same date as its start.
    bool BeginSlot();
    ScheduleStep CommitStart(QDate day, QTime time);
    ScheduleStep CommitEnd(QTime time);

    // Removes a date with all its slots (child < 0) or the slot that child
    // (0-based among the date's children, start and end alternating) belongs
    // to. Refused while an entry is open.
    bool Remove(QDate day, int child = -1);

    const std::vector<ScheduleDay>& Days() const { return days_; }
    int DayIndex(QDate day) const;  // -1 when absent
    // Start of the slot being entered, once validated and until its end is.
    std::optional<WallTime> PendingStart() const { return pendingStart_; }
    QDate PendingDay() const { return pendingDay_; }

    // Nodes of the tree: dates, starts and ends (the pending start included).
    int NodeCount() const;

    // True when now lies in a complete slot, both bounds included, and the
    // tree holds more than two nodes. A start still waiting for its end is no
    // slot.
    bool InSlot(WallTime now) const;

    // Whether the schedule gates detection, and the last evaluation.
    void Show();              // the dialog is shown: evaluation runs from now on
    void Validate();          // "Valider": in force when more than two nodes
    void Cancel();            // "Annuler": not in force, evaluation stops
    void Tick(WallTime now);  // one evaluation (the one-second timer)
    bool ScheduleInForce() const { return inForce_; }
    bool InScheduledSlot() const { return inSlot_; }
    bool EvaluationRunning() const { return running_; }

  private:
    const ScheduleSlot* SlotContaining(WallTime t) const;
    const ScheduleSlot* FirstSlotStartingAfter(WallTime t) const;

    std::vector<ScheduleDay> days_;  // by date
    Entry entry_ = Entry::None;
    std::optional<WallTime> pendingStart_;
    QDate pendingDay_;
    bool inForce_ = false;
    bool inSlot_ = false;
    bool running_ = false;
};

}  // namespace orka

#endif
