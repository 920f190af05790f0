// The schedule's rules without a window: dates, slots, warnings, deletion,
// the active-time test and when the schedule is in force.
#include <gtest/gtest.h>

#include "Schedule.h"

namespace {

const QDate kDay(2024, 3, 14);
const QDate kOtherDay(2024, 3, 15);

QTime T(int h, int m, int s = 0) {
    return QTime(h, m, s);
}

void AddDate(orka::Schedule& s, QDate d) {
    ASSERT_TRUE(s.BeginDate());
    ASSERT_TRUE(s.CommitDate(d).Done);
}

// Adds a complete slot; returns the first warning met, if any.
QString AddSlot(orka::Schedule& s, QDate d, QTime start, QTime end) {
    if (!s.BeginSlot())
        return "begin refused";
    orka::ScheduleStep step = s.CommitStart(d, start);
    if (!step.Done)
        return step.Warning;
    step = s.CommitEnd(end);
    return step.Done ? QString() : step.Warning;
}

}  // namespace

TEST(Schedule, DuplicateDateIsRefusedAndTheEntryStaysOpen) {
    orka::Schedule s;
    AddDate(s, kDay);
    ASSERT_TRUE(s.BeginDate());
    const orka::ScheduleStep step = s.CommitDate(kDay);
    EXPECT_FALSE(step.Done);
    EXPECT_EQ(step.Warning, "La date du 14/03/2024 est déjà utilisée. En choisir une autre.");
    EXPECT_EQ(s.CurrentEntry(), orka::Schedule::Entry::Date);
    EXPECT_FALSE(s.BeginSlot());  // one entry at a time
    EXPECT_TRUE(s.CommitDate(QDate(2024, 3, 1)).Done);
    ASSERT_EQ(s.Days().size(), 2u);
    EXPECT_EQ(s.Days()[0].Date, QDate(2024, 3, 1));  // dates in order
}

TEST(Schedule, StartInsideAnExistingSlotIsRefusedBoundsIncluded) {
    orka::Schedule s;
    AddDate(s, kDay);
    ASSERT_EQ(AddSlot(s, kDay, T(10, 0), T(11, 0)), "");
    const QString inside =
        "Le début d'une nouvelle tranche horaire ne doit pas être à l'intérieur d'une tranche "
        "existante :\n\r\n\r10:00:00 à 11:00:00";
    ASSERT_TRUE(s.BeginSlot());
    EXPECT_EQ(s.CommitStart(kDay, T(10, 0)).Warning, inside);
    EXPECT_EQ(s.CommitStart(kDay, T(11, 0)).Warning, inside);
    EXPECT_EQ(s.CurrentEntry(), orka::Schedule::Entry::SlotStart);
    EXPECT_TRUE(s.CommitStart(kDay, T(11, 0, 1)).Done);
    EXPECT_EQ(s.CurrentEntry(), orka::Schedule::Entry::SlotEnd);
}

TEST(Schedule, EndMustNotReachTheNextSlotAndMustFollowTheStart) {
    orka::Schedule s;
    AddDate(s, kDay);
    ASSERT_EQ(AddSlot(s, kDay, T(8, 0), T(9, 0)), "");
    ASSERT_EQ(AddSlot(s, kDay, T(12, 0), T(13, 0)), "");
    ASSERT_TRUE(s.BeginSlot());
    ASSERT_TRUE(s.CommitStart(kDay, T(10, 0)).Done);
    EXPECT_EQ(s.CommitEnd(T(12, 0)).Warning,
              "Le fin d'une nouvelle tranche horaire ne doit pas empiéter sur la tranche "
              "suivante :\n\r\n\r12:00:00 à 13:00:00");
    const QString order =
        "L'heure de Fin de tranche horaire doit être supérieure à l'heure de début.";
    EXPECT_EQ(s.CommitEnd(T(10, 0)).Warning, order);
    EXPECT_EQ(s.CommitEnd(T(9, 30)).Warning, order);
    EXPECT_TRUE(s.CommitEnd(T(11, 59)).Done);
    const auto& slots = s.Days()[0].Slots;
    ASSERT_EQ(slots.size(), 3u);
    EXPECT_EQ(orka::WallTimeOfDay(slots[1].Start), T(10, 0));  // kept in order
    EXPECT_EQ(orka::WallTimeOfDay(slots[1].End), T(11, 59));
}

TEST(Schedule, SlotsOnSeveralDatesAndDeletion) {
    orka::Schedule s;
    AddDate(s, kDay);
    AddDate(s, kOtherDay);
    ASSERT_EQ(AddSlot(s, kDay, T(10, 0), T(11, 0)), "");
    ASSERT_EQ(AddSlot(s, kOtherDay, T(10, 0), T(11, 0)), "");  // same hours, other date
    ASSERT_EQ(AddSlot(s, kDay, T(14, 0), T(15, 0)), "");
    EXPECT_EQ(s.NodeCount(), 8);

    EXPECT_TRUE(s.Remove(kDay, 3));  // end of the 14:00 slot takes its start along
    ASSERT_EQ(s.Days()[0].Slots.size(), 1u);
    EXPECT_EQ(orka::WallTimeOfDay(s.Days()[0].Slots[0].Start), T(10, 0));
    EXPECT_TRUE(s.Remove(kDay, 0));  // a start takes its end along
    EXPECT_TRUE(s.Days()[0].Slots.empty());
    EXPECT_FALSE(s.Remove(kDay, 0));
    EXPECT_TRUE(s.Remove(kOtherDay));  // a date goes with its slots
    EXPECT_EQ(s.NodeCount(), 1);

    ASSERT_TRUE(s.BeginDate());
    EXPECT_FALSE(s.Remove(kDay));  // not while an entry is open
}

// A start waiting for its end is no slot, wherever it sits in the tree.
TEST(Schedule, ActiveTimeIgnoresAPendingStart) {
    orka::Schedule s;
    AddDate(s, kDay);
    AddDate(s, kOtherDay);
    ASSERT_TRUE(s.BeginSlot());
    ASSERT_TRUE(s.CommitStart(kDay, T(9, 0)).Done);
    EXPECT_EQ(s.NodeCount(), 3);
    EXPECT_FALSE(s.InSlot(orka::ToWallTime(kDay, T(9, 0))));
    EXPECT_FALSE(s.InSlot(orka::ToWallTime(kDay, T(23, 0))));
    EXPECT_FALSE(s.InSlot(orka::ToWallTime(kOtherDay, T(0, 0))));
    ASSERT_TRUE(s.CommitEnd(T(9, 30)).Done);
    EXPECT_TRUE(s.InSlot(orka::ToWallTime(kDay, T(9, 0))));
    EXPECT_TRUE(s.InSlot(orka::ToWallTime(kDay, T(9, 30))));
    EXPECT_FALSE(s.InSlot(orka::ToWallTime(kDay, T(9, 30, 1))));
    EXPECT_FALSE(s.InSlot(orka::ToWallTime(kOtherDay, T(9, 15))));
}

TEST(Schedule, InForceOnlyWithMoreThanTwoNodesAndUntilCancelled) {
    orka::Schedule s;
    AddDate(s, kDay);
    s.Validate();  // a date alone
    EXPECT_FALSE(s.ScheduleInForce());
    EXPECT_FALSE(s.EvaluationRunning());

    ASSERT_EQ(AddSlot(s, kDay, T(10, 0), T(11, 0)), "");
    s.Validate();
    EXPECT_TRUE(s.ScheduleInForce());
    EXPECT_TRUE(s.EvaluationRunning());
    s.Tick(orka::ToWallTime(kDay, T(10, 30)));
    EXPECT_TRUE(s.InScheduledSlot());
    s.Tick(orka::ToWallTime(kDay, T(11, 30)));
    EXPECT_FALSE(s.InScheduledSlot());

    // Removing the slot leaves one node: "Valider" keeps the schedule as it was.
    s.Tick(orka::ToWallTime(kDay, T(10, 30)));
    ASSERT_TRUE(s.Remove(kDay, 0));
    s.Validate();
    EXPECT_TRUE(s.ScheduleInForce());
    s.Tick(orka::ToWallTime(kDay, T(10, 30)));
    EXPECT_FALSE(s.InScheduledSlot());

    s.Cancel();
    EXPECT_FALSE(s.ScheduleInForce());
    EXPECT_FALSE(s.InScheduledSlot());
    EXPECT_FALSE(s.EvaluationRunning());
    EXPECT_EQ(s.Days().size(), 1u);  // the tree keeps its content
}

TEST(Schedule, WallTimeIsExactAndSortable) {
    const orka::WallTime t = orka::ToWallTime(kDay, QTime(23, 59, 59, 999));
    EXPECT_EQ(orka::WallDate(t), kDay);
    EXPECT_EQ(orka::WallTimeOfDay(t), QTime(23, 59, 59, 999));
    EXPECT_EQ(t + 1, orka::ToWallTime(kOtherDay));
    EXPECT_EQ(orka::ScheduleStartNodeText(T(7, 5, 3)), "Début : 07:05:03");
    EXPECT_EQ(orka::ScheduleEndNodeText(T(17, 0)), "Fin : 17:00:00");
    EXPECT_EQ(orka::ScheduleDateNodeText(kDay), "Le 14/03/2024");
}
