// What the status area says of a picture saved, of one cut off, and of the
// camera gone with a cut-off picture kept (named once).
#include <gtest/gtest.h>

#include "PictureNotes.h"

namespace {

orka::SavedFile File(const std::string& name, bool complete = true) {
    orka::SavedFile f;
    f.directory = "/home/u/Images";
    f.name = name;
    f.path = f.directory + "/" + name;
    f.complete = complete;
    return f;
}

}  // namespace

TEST(PictureNotes, SavedPicture) {
    orka::SavedFile file = File("ImageOrka00012.jpg");
    EXPECT_EQ(orka::SavedPictureNote(file),
              QStringLiteral("Image enregistrée : /home/u/Images/ImageOrka00012.jpg"));
    file.inDocuments = true;
    file.numberingExhausted = true;
    EXPECT_EQ(orka::SavedPictureNote(file),
              QStringLiteral("Image enregistrée : /home/u/Images/ImageOrka00012.jpg (dans "
                             "Documents : le dossier choisi n'était pas utilisable) (numéros du "
                             "préfixe épuisés : nom en « 99999~ »)"));
    EXPECT_EQ(orka::SavedPictureNote(File("ImageOrka00013.partiel.qrw", false)),
              QStringLiteral("Image incomplète conservée : "
                             "/home/u/Images/ImageOrka00013.partiel.qrw"));
}

TEST(PictureNotes, CameraGoneNamesACutOffPictureOnce) {
    const QString gone = QStringLiteral("L'appareil photo a été déconnecté.");
    QString shown;
    EXPECT_EQ(orka::CameraGoneNote(nullptr, shown), gone);
    const orka::SavedFile complete = File("ImageOrka00012.jpg");
    EXPECT_EQ(orka::CameraGoneNote(&complete, shown), gone);
    const orka::SavedFile partial = File("ImageOrka00013.partiel.qrw", false);
    EXPECT_EQ(orka::CameraGoneNote(&partial, shown),
              gone + QStringLiteral(" Image incomplète conservée : "
                                    "/home/u/Images/ImageOrka00013.partiel.qrw"));
    EXPECT_EQ(shown, QStringLiteral("/home/u/Images/ImageOrka00013.partiel.qrw"));
    EXPECT_EQ(orka::CameraGoneNote(&partial, shown), gone);
}
