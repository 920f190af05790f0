// The default picture folder: made only when it is the default and missing.
#include <gtest/gtest.h>

#include "PictureFolder.h"

namespace {

TEST(PictureFolder, CreatedOnlyWhenTheDefaultIsMissing) {
    const QString pictures = QStringLiteral("/home/photo/Images");
    EXPECT_TRUE(orka::MustCreatePictureFolder(pictures, true, false));
    EXPECT_FALSE(orka::MustCreatePictureFolder(pictures, true, true));
    // A folder the photographer chose is never made behind their back.
    EXPECT_FALSE(orka::MustCreatePictureFolder(pictures, false, false));
    // No Pictures folder known at all: nothing to make (mkpath("") would
    // report success).
    EXPECT_FALSE(orka::MustCreatePictureFolder(QString(), true, false));
    EXPECT_FALSE(orka::MustCreatePictureFolder(QStringLiteral("  "), true, false));
}

TEST(PictureFolder, NoteNamesTheFolderAndTheOutcome) {
    const QString folder = QStringLiteral("/home/photo/Images");
    EXPECT_EQ(orka::PictureFolderNote(folder, true),
              QStringLiteral("Dossier des images créé : /home/photo/Images"));
    const QString failed = orka::PictureFolderNote(folder, false);
    EXPECT_TRUE(failed.contains(folder));
    EXPECT_TRUE(failed.contains(QStringLiteral("Documents")));
}

}  // namespace
