// The status area's messages: a warning or a wait shows over the place of
// the last picture and gives it back when it goes; a newer event replaces
// the older whatever its kind; the tooltip lists everything in full.
#include <gtest/gtest.h>

#include "StatusArea.h"

namespace status = orka::status;

TEST(StatusArea, OwnedMessagesShowOverTheLastEventAndGiveItBack) {
    orka::StatusArea area;
    area.Say(status::Picture, QStringLiteral("Image enregistrée : /p/ImageOrka00001.jpg"));
    area.Say(status::Warning, QStringLiteral(" - Système de mesure en surexposition, "));
    EXPECT_EQ(area.ShownKind(), &status::Warning);
    area.Say(status::Wait, QStringLiteral("Retardateur : déclenchement dans 2 s"));
    EXPECT_EQ(area.ShownKind(), &status::Wait);
    EXPECT_EQ(area.Details(), QStringLiteral("Retardateur : déclenchement dans 2 s\n - Système de "
                                             "mesure en surexposition, \nImage enregistrée : "
                                             "/p/ImageOrka00001.jpg"));
    area.Clear(status::Wait);
    area.Say(status::Warning, QString());  // the condition is gone
    EXPECT_EQ(area.Shown(), QStringLiteral("Image enregistrée : /p/ImageOrka00001.jpg"));
    // Clearing an owned kind never touches the event, nor another owner.
    area.Say(status::Search, QStringLiteral("Aucun Orka n'est branché"));
    area.Clear(status::Warning);
    EXPECT_EQ(area.ShownKind(), &status::Search);
    area.Clear(status::Search);
    EXPECT_EQ(area.ShownKind(), &status::Picture);
}

TEST(StatusArea, NewerEventReplacesTheOlderOfAnyKind) {
    orka::StatusArea area;
    area.Say(status::Picture, QStringLiteral("Image enregistrée : a"));
    area.Say(status::Video, QStringLiteral("Vidéo enregistrée : b"));
    EXPECT_EQ(area.Shown(), QStringLiteral("Vidéo enregistrée : b"));
    EXPECT_TRUE(area.Text(status::Picture).isEmpty());
    area.Clear(status::Picture);  // not the event shown: nothing changes
    EXPECT_EQ(area.ShownKind(), &status::Video);
    area.Clear(status::Video);
    EXPECT_EQ(area.ShownKind(), nullptr);
    EXPECT_TRUE(area.Shown().isEmpty());
}
