#include "Schedule.h"

#include <QCoreApplication>

#include <algorithm>

namespace orka {

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

QString SlotText(const ScheduleSlot& slot) {
    return ScheduleTimeText(WallTimeOfDay(slot.Start)) +
           QCoreApplication::translate("Schedule", " à ") +
           ScheduleTimeText(WallTimeOfDay(slot.End));
}

ScheduleStep Refused(const QString& warning) {
    return ScheduleStep{false, warning};
}

}  // namespace

WallTime ToWallTime(QDate date, QTime time) {
    return date.toJulianDay() * kMsPerDay + (time.isValid() ? time.msecsSinceStartOfDay() : 0);
}

WallTime ToWallTime(const QDateTime& local) {
    return ToWallTime(local.date(), local.time());
}

QDate WallDate(WallTime t) {
    return QDate::fromJulianDay(t / kMsPerDay);
}

QTime WallTimeOfDay(WallTime t) {
    return QTime::fromMSecsSinceStartOfDay(int(t % kMsPerDay));
}

QString ScheduleDateText(QDate date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString ScheduleTimeText(QTime time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString ScheduleDateNodeText(QDate date) {
    return QCoreApplication::translate("Schedule", "Le ") + ScheduleDateText(date);
}

QString ScheduleStartNodeText(QTime time) {
    return QCoreApplication::translate("Schedule", "Début : ") + ScheduleTimeText(time);
}

QString ScheduleEndNodeText(QTime time) {
    return QCoreApplication::translate("Schedule", "Fin : ") + ScheduleTimeText(time);
}

bool Schedule::BeginDate() {
    if (entry_ != Entry::None)
        return false;
    entry_ = Entry::Date;
    return true;
}

ScheduleStep Schedule::CommitDate(QDate date) {
    if (entry_ != Entry::Date || !date.isValid())
        return {};
    if (DayIndex(date) >= 0)
        return Refused(QCoreApplication::translate("Schedule", "La date du ") +
                       ScheduleDateText(date) +
                       QCoreApplication::translate("Schedule", " est déjà utilisée.") +
                       QCoreApplication::translate("Schedule", " En choisir une autre."));
    const auto at = std::lower_bound(days_.begin(), days_.end(), date,
                                     [](const ScheduleDay& d, QDate v) { return d.Date < v; });
    days_.insert(at, ScheduleDay{date, {}});
    entry_ = Entry::None;
    return ScheduleStep{true, {}};
}

bool Schedule::BeginSlot() {
    if (entry_ != Entry::None || days_.empty())
        return false;
    entry_ = Entry::SlotStart;
    return true;
}

ScheduleStep Schedule::CommitStart(QDate day, QTime time) {
    if (entry_ != Entry::SlotStart || DayIndex(day) < 0 || !time.isValid())
        return {};
    const WallTime start = ToWallTime(day, time);
    if (const ScheduleSlot* slot = SlotContaining(start))
        return Refused(QCoreApplication::translate(
                           "Schedule",
                           "Le début d'une nouvelle tranche horaire ne doit pas être à "
                           "l'intérieur d'une tranche existante :\n\r\n\r") +
                       SlotText(*slot));
    pendingStart_ = start;
    pendingDay_ = day;
    entry_ = Entry::SlotEnd;
    return ScheduleStep{true, {}};
}

ScheduleStep Schedule::CommitEnd(QTime time) {
    if (entry_ != Entry::SlotEnd || !pendingStart_ || !time.isValid())
        return {};
    const WallTime start = *pendingStart_;
    const WallTime end = ToWallTime(pendingDay_, time);
    if (const ScheduleSlot* next = FirstSlotStartingAfter(start); next && next->Start <= end)
        return Refused(QCoreApplication::translate(
                           "Schedule",
                           "Le fin d'une nouvelle tranche horaire ne doit pas empiéter "
                           "sur la tranche suivante :\n\r\n\r") +
                       SlotText(*next));
    if (end <= start)
        return Refused(QCoreApplication::translate(
            "Schedule",
            "L'heure de Fin de tranche horaire doit être supérieure à l'heure de début."));
    auto& slots = days_[size_t(DayIndex(pendingDay_))].Slots;
    const auto at = std::lower_bound(slots.begin(), slots.end(), start,
                                     [](const ScheduleSlot& s, WallTime v) { return s.Start < v; });
    slots.insert(at, ScheduleSlot{start, end});
    pendingStart_.reset();
    pendingDay_ = QDate();
    entry_ = Entry::None;
    return ScheduleStep{true, {}};
}

bool Schedule::Remove(QDate day, int child) {
    const int d = DayIndex(day);
    if (entry_ != Entry::None || d < 0)
        return false;
    if (child < 0) {
        days_.erase(days_.begin() + d);
        return true;
    }
    auto& slots = days_[size_t(d)].Slots;
    const size_t slot = size_t(child / 2);
    if (slot >= slots.size())
        return false;
    slots.erase(slots.begin() + ptrdiff_t(slot));
    return true;
}

int Schedule::DayIndex(QDate day) const {
    for (size_t i = 0; i < days_.size(); ++i)
        if (days_[i].Date == day)
            return int(i);
    return -1;
}

int Schedule::NodeCount() const {
    int count = pendingStart_ ? 1 : 0;
    for (const ScheduleDay& day : days_)
        count += 1 + 2 * int(day.Slots.size());
    return count;
}

bool Schedule::InSlot(WallTime now) const {
    return NodeCount() > 2 && SlotContaining(now) != nullptr;
}

const ScheduleSlot* Schedule::SlotContaining(WallTime t) const {
    for (const ScheduleDay& day : days_)
        for (const ScheduleSlot& slot : day.Slots)
            if (slot.Start <= t && t <= slot.End)
                return &slot;
    return nullptr;
}

const ScheduleSlot* Schedule::FirstSlotStartingAfter(WallTime t) const {
    // Days and their slots are in order, so the first match is the earliest.
    for (const ScheduleDay& day : days_)
        for (const ScheduleSlot& slot : day.Slots)
            if (slot.Start > t)
                return &slot;
    return nullptr;
}

void Schedule::Show() {
    running_ = true;
}

void Schedule::Validate() {
    if (NodeCount() > 2) {
        running_ = true;
        inForce_ = true;
    }
}

void Schedule::Cancel() {
    running_ = false;
    inSlot_ = false;
    inForce_ = false;
}

void Schedule::Tick(WallTime now) {
    inSlot_ = InSlot(now);
}

}  // namespace orka
