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

// A local wall-clock instant: milliseconds since the start of Julian day 0,
// that is day number x 86,400,000 + time of day. Exact, sortable, and free of
// time-zone changes (a slot set at 10:00 means 10:00 on the clock).
using TWallTime = int64_t;

TWallTime WallTime(QDate date, QTime time = QTime(0, 0));
TWallTime WallTime(const QDateTime& local);
QDate WallDate(TWallTime t);
QTime WallTimeOfDay(TWallTime t);

// Texts of the schedule, in the short date and long time formats.
QString ScheduleDateText(QDate date);       // "dd/MM/yyyy"
QString ScheduleTimeText(QTime time);       // "HH:mm:ss"
QString ScheduleDateNodeText(QDate date);   // "Le " + date
QString ScheduleStartNodeText(QTime time);  // "Début : " + time
QString ScheduleEndNodeText(QTime time);    // "Fin : " + time

struct TScheduleSlot {
    TWallTime Start;
    TWallTime End;  // > Start, same date
};

struct TScheduleDay {
    QDate Date;
    std::vector<TScheduleSlot> Slots;  // by start
};

// Result of one step of an entry.
struct TScheduleStep {
    bool Done = false;  // the step was taken
    QString Warning;    // not empty: the rule refused the value, the entry stays open
};

class TSchedule {
  public:
    // The entry in progress: none, a date, the start of a slot, its end.
    enum class Entry { None, Date, SlotStart, SlotEnd };

    Entry CurrentEntry() const { return entry_; }
    bool Editing() const { return entry_ != Entry::None; }

    // Date entry ("Nouvelle date" then "Valider la date").
    bool BeginDate();
    TScheduleStep CommitDate(QDate date);

    // Slot entry ("Nouvelle tranche horaire", "Valider l'heure de Début",
    // "Valider l'heure de Fin"). The start goes under `day`, which must be a
    // date of the schedule; the end goes under the same date as its start.
    bool BeginSlot();
    TScheduleStep CommitStart(QDate day, QTime time);
    TScheduleStep CommitEnd(QTime time);

    // Removes a date with all its slots (child < 0) or the slot that child
    // (0-based among the date's children, start and end alternating) belongs
    // to. Refused while an entry is open.
    bool Remove(QDate day, int child = -1);

    const std::vector<TScheduleDay>& Days() const { return days_; }
    int DayIndex(QDate day) const;  // -1 when absent
    // Start of the slot being entered, once validated and until its end is.
    std::optional<TWallTime> PendingStart() const { return pendingStart_; }
    QDate PendingDay() const { return pendingDay_; }

    // Nodes of the tree: dates, starts and ends (the pending start included).
    int NodeCount() const;

    // True when now lies in a complete slot, both bounds included, and the
    // tree holds more than two nodes. A start still waiting for its end is no
    // slot.
    bool InSlot(TWallTime now) const;

    // Whether the schedule gates detection, and the last evaluation.
    void Show();               // the dialog is shown: evaluation runs from now on
    void Validate();           // "Valider": in force when more than two nodes
    void Cancel();             // "Annuler": not in force, evaluation stops
    void Tick(TWallTime now);  // one evaluation (the one-second timer)
    bool ScheduleInForce() const { return inForce_; }
    bool InScheduledSlot() const { return inSlot_; }
    bool EvaluationRunning() const { return running_; }

  private:
    const TScheduleSlot* SlotContaining(TWallTime t) const;
    const TScheduleSlot* FirstSlotStartingAfter(TWallTime t) const;

    std::vector<TScheduleDay> days_;  // by date
    Entry entry_ = Entry::None;
    std::optional<TWallTime> pendingStart_;
    QDate pendingDay_;
    bool inForce_ = false;
    bool inSlot_ = false;
    bool running_ = false;
};

#endif
