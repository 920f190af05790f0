// The choices the window remembers: read back as written, a damaged or
// hostile value keeps the default, and a folder that went falls back with a
// note.
#include <gtest/gtest.h>

#include <QSettings>
#include <QTemporaryDir>

#include "RememberedChoices.h"

TEST(RememberedChoices, RoundTripAndDamagedValues) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("PCOrka.conf"));
    orka::RememberedChoices chosen;
    chosen.pictureFolder = QStringLiteral("/home/u/Séance");
    chosen.imagePrefix = QStringLiteral("Mariage");
    chosen.backupFolder = QStringLiteral("/media/u/Disque 2");
    chosen.pictureCommand = QStringLiteral("rsync -a \"$1\" serveur:");
    chosen.previewSize = 0;
    chosen.orientation = 2;
    chosen.grid = true;
    chosen.tooltips = false;
    chosen.assist.peaking = true;
    chosen.assist.peakingSensitivity = 80;
    chosen.assist.peakingColour = orka::PeakingColour::Blue;
    chosen.assist.clipStyle = orka::ClipStyle::Solid;
    chosen.assist.highlightLevel = 240;
    {
        QSettings store(file, QSettings::IniFormat);
        orka::SaveChoices(store, chosen);
    }
    QSettings store(file, QSettings::IniFormat);
    const orka::RememberedChoices defaults;
    const orka::RememberedChoices read = orka::LoadChoices(store, defaults);
    EXPECT_EQ(read.pictureFolder, chosen.pictureFolder);
    EXPECT_EQ(read.imagePrefix, chosen.imagePrefix);
    EXPECT_EQ(read.videoPrefix, QStringLiteral("VideoOrka"));
    EXPECT_EQ(read.backupFolder, chosen.backupFolder);
    EXPECT_EQ(read.pictureCommand, chosen.pictureCommand);
    EXPECT_EQ(read.previewSize, 0);
    EXPECT_EQ(read.orientation, 2);
    EXPECT_TRUE(read.grid && !read.reticle && !read.tooltips);
    EXPECT_TRUE(read.assist.peaking);
    EXPECT_EQ(read.assist.peakingSensitivity, 80);
    EXPECT_EQ(read.assist.peakingColour, orka::PeakingColour::Blue);
    EXPECT_EQ(read.assist.clipStyle, orka::ClipStyle::Solid);
    EXPECT_EQ(read.assist.highlightLevel, 240);

    // Edited by hand or damaged: each bad value keeps its default.
    store.setValue(QStringLiteral("Choix/orientation"), 7);
    store.setValue(QStringLiteral("Choix/sensibilitePeaking"), QStringLiteral("beaucoup"));
    store.setValue(QStringLiteral("Choix/prefixeImage"), QStringLiteral("../../etc/x"));
    store.setValue(QStringLiteral("Choix/grille"), QStringLiteral("peut-être"));
    store.setValue(QStringLiteral("Choix/commandeApresImage"), QStringLiteral("true\nrm -rf ~"));
    const orka::RememberedChoices bad = orka::LoadChoices(store, defaults);
    EXPECT_EQ(bad.orientation, 0);
    EXPECT_EQ(bad.assist.peakingSensitivity, 50);
    EXPECT_EQ(bad.imagePrefix, QStringLiteral("ImageOrka"));
    EXPECT_FALSE(bad.grid);
    EXPECT_TRUE(bad.pictureCommand.isEmpty());  // one line only
}

TEST(RememberedChoices, StartFolder) {
    const QString pictures = QStringLiteral("/home/u/Images");
    EXPECT_EQ(orka::ChooseStartFolder({}, false, pictures).folder, pictures);
    const auto kept = orka::ChooseStartFolder(QStringLiteral("/media/x/Séance"), true, pictures);
    EXPECT_EQ(kept.folder, QStringLiteral("/media/x/Séance"));
    EXPECT_TRUE(kept.note.isEmpty());
    const auto gone = orka::ChooseStartFolder(QStringLiteral("/media/x/Séance"), false, pictures);
    EXPECT_EQ(gone.folder, pictures);
    EXPECT_EQ(gone.note, QStringLiteral("Le dossier des images /media/x/Séance n'existe plus : les "
                                        "images iront dans /home/u/Images."));
}
