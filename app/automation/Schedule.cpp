#include "Schedule.h"

#include <algorithm>

namespace {

constexpr int64_t kMsPerDay = 86'400'000;

QString SlotText(const TScheduleSlot& slot) {
    return ScheduleTimeText(WallTimeOfDay(slot.Start)) + QStringLiteral(" à ") +
           ScheduleTimeText(WallTimeOfDay(slot.End));
}

TScheduleStep Refused(const QString& warning) {
    return TScheduleStep{false, warning};
}

}  // namespace

TWallTime WallTime(QDate date, QTime time) {
    return date.toJulianDay() * kMsPerDay + (time.isValid() ? time.msecsSinceStartOfDay() : 0);
}

TWallTime WallTime(const QDateTime& local) {
    return WallTime(local.date(), local.time());
}

QDate WallDate(TWallTime t) {
    return QDate::fromJulianDay(t / kMsPerDay);
}

QTime WallTimeOfDay(TWallTime t) {
    return QTime::fromMSecsSinceStartOfDay(int(t % kMsPerDay));
}

QString ScheduleDateText(QDate date) {
    return date.toString(QStringLiteral("dd/MM/yyyy"));
}

QString ScheduleTimeText(QTime time) {
    return time.toString(QStringLiteral("HH:mm:ss"));
}

QString ScheduleDateNodeText(QDate date) {
    return QStringLiteral("Le ") + ScheduleDateText(date);
}

QString ScheduleStartNodeText(QTime time) {
    return QStringLiteral("Début : ") + ScheduleTimeText(time);
}

QString ScheduleEndNodeText(QTime time) {
    return QStringLiteral("Fin : ") + ScheduleTimeText(time);
}

bool TSchedule::BeginDate() {
    if (entry_ != Entry::None)
        return false;
    entry_ = Entry::Date;
    return true;
}

TScheduleStep TSchedule::CommitDate(QDate date) {
    if (entry_ != Entry::Date || !date.isValid())
        return {};
    if (DayIndex(date) >= 0)
        return Refused(QStringLiteral("La date du ") + ScheduleDateText(date) +
                       QStringLiteral(" est déjà utilisée.") +
                       QStringLiteral(" En choisir une autre."));
    const auto at = std::lower_bound(days_.begin(), days_.end(), date,
                                     [](const TScheduleDay& d, QDate v) { return d.Date < v; });
    days_.insert(at, TScheduleDay{date, {}});
    entry_ = Entry::None;
    return TScheduleStep{true, {}};
}

bool TSchedule::BeginSlot() {
    if (entry_ != Entry::None || days_.empty())
        return false;
    entry_ = Entry::SlotStart;
    return true;
}

TScheduleStep TSchedule::CommitStart(QDate day, QTime time) {
    if (entry_ != Entry::SlotStart || DayIndex(day) < 0 || !time.isValid())
        return {};
    const TWallTime start = WallTime(day, time);
    if (const TScheduleSlot* slot = SlotContaining(start))
        return Refused(QStringLiteral("Le début d'une nouvelle tranche horaire ne doit pas être à "
                                      "l'intérieur d'une tranche existante :\n\r\n\r") +
                       SlotText(*slot));
    pendingStart_ = start;
    pendingDay_ = day;
    entry_ = Entry::SlotEnd;
    return TScheduleStep{true, {}};
}

TScheduleStep TSchedule::CommitEnd(QTime time) {
    if (entry_ != Entry::SlotEnd || !pendingStart_ || !time.isValid())
        return {};
    const TWallTime start = *pendingStart_;
    const TWallTime end = WallTime(pendingDay_, time);
    if (const TScheduleSlot* next = FirstSlotStartingAfter(start); next && next->Start <= end)
        return Refused(QStringLiteral("Le fin d'une nouvelle tranche horaire ne doit pas empiéter "
                                      "sur la tranche suivante :\n\r\n\r") +
                       SlotText(*next));
    if (end <= start)
        return Refused(QStringLiteral(
            "L'heure de Fin de tranche horaire doit être supérieure à l'heure de début."));
    auto& slots = days_[size_t(DayIndex(pendingDay_))].Slots;
    const auto at =
        std::lower_bound(slots.begin(), slots.end(), start,
                         [](const TScheduleSlot& s, TWallTime v) { return s.Start < v; });
    slots.insert(at, TScheduleSlot{start, end});
    pendingStart_.reset();
    pendingDay_ = QDate();
    entry_ = Entry::None;
    return TScheduleStep{true, {}};
}

bool TSchedule::Remove(QDate day, int child) {
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

int TSchedule::DayIndex(QDate day) const {
    for (size_t i = 0; i < days_.size(); ++i)
        if (days_[i].Date == day)
            return int(i);
    return -1;
}

int TSchedule::NodeCount() const {
    int count = pendingStart_ ? 1 : 0;
    for (const TScheduleDay& day : days_)
        count += 1 + 2 * int(day.Slots.size());
    return count;
}

bool TSchedule::InSlot(TWallTime now) const {
    return NodeCount() > 2 && SlotContaining(now) != nullptr;
}

const TScheduleSlot* TSchedule::SlotContaining(TWallTime t) const {
    for (const TScheduleDay& day : days_)
        for (const TScheduleSlot& slot : day.Slots)
            if (slot.Start <= t && t <= slot.End)
                return &slot;
    return nullptr;
}

const TScheduleSlot* TSchedule::FirstSlotStartingAfter(TWallTime t) const {
    // Days and their slots are in order, so the first match is the earliest.
    for (const TScheduleDay& day : days_)
        for (const TScheduleSlot& slot : day.Slots)
            if (slot.Start > t)
                return &slot;
    return nullptr;
}

void TSchedule::Show() {
    running_ = true;
}

void TSchedule::Validate() {
    if (NodeCount() > 2) {
        running_ = true;
        inForce_ = true;
    }
}

void TSchedule::Cancel() {
    running_ = false;
    inSlot_ = false;
    inForce_ = false;
}

void TSchedule::Tick(TWallTime now) {
    inSlot_ = InSlot(now);
}
