#include <gtest/gtest.h>

#include <cstring>
#include <map>

#include "SessionPictures.h"

namespace {

using orka::SavedFile;
using orka::SessionPictures;

SavedFileInfo Record(const char* directory, const char* name, int documents = 0,
                     int exhausted = 0) {
    SavedFileInfo info{};
    std::strncpy(info.directory, directory, sizeof info.directory - 1);
    std::strncpy(info.fileName, name, sizeof info.fileName - 1);
    info.inDocumentsFolder = documents;
    info.numberingExhausted = exhausted;
    return info;
}

std::vector<std::string> Names(const std::vector<SavedFile>& files) {
    std::vector<std::string> names;
    for (const SavedFile& f : files)
        names.push_back(f.name);
    return names;
}

// A folder in memory, shared with the module under test.
struct Folders {
    std::map<std::string, std::vector<std::string>> names;
    SessionPictures::ListFolder Lister() {
        return [this](const std::string& d) { return names[d]; };
    }
};

TEST(SessionPictures, NumberedNamesAreThoseTheLibraryGives) {
    const auto p = orka::ParseNumberedName("P00013.JPG", "P");
    ASSERT_TRUE(p);
    EXPECT_EQ(p->number, "00013");
    EXPECT_EQ(p->extension, ".JPG");
    EXPECT_FALSE(p->partial);
    const auto cut = orka::ParseNumberedName("P99999~12.partiel.qrw", "P");
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->number, "99999~12");
    EXPECT_TRUE(cut->partial);
    for (const char* other : {"P0013.JPG", "P00013", "Q00013.JPG", "P00013x.JPG", "P99999~.JPG",
                              "P.JPG", "P000013.JPG"})
        EXPECT_FALSE(orka::ParseNumberedName(other, "P")) << other;
}

TEST(SessionPictures, EachRecordOnceWithItsFlags) {
    Folders folders;
    SessionPictures session(folders.Lister());
    session.SetTarget("/d", "P");
    EXPECT_TRUE(session.Note(SavedFileInfo{}).empty());

    const auto first = session.Note(Record("/d", "P00001.JPG"));
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(first[0].path, "/d/P00001.JPG");
    EXPECT_TRUE(first[0].IsPicture());
    EXPECT_TRUE(first[0].complete);
    EXPECT_TRUE(session.Note(Record("/d", "P00001.JPG")).empty());  // the same record again

    const auto moved = session.Note(Record("/home/u/Documents", "P99999~1.JPG", 1, 1));
    ASSERT_EQ(moved.size(), 1u);
    EXPECT_TRUE(moved[0].inDocuments);
    EXPECT_TRUE(moved[0].numberingExhausted);

    const auto cut = session.Note(Record("/d", "P00002.partiel.JPG"));
    ASSERT_EQ(cut.size(), 1u);
    EXPECT_FALSE(cut[0].complete);
    EXPECT_EQ(session.Files().size(), 3u);
}

// Files that land between two looks are found in the folder, in the order
// they were numbered, before the file the record names; files that were
// there before the session, and foreign names, are not.
TEST(SessionPictures, FilesBetweenTwoLooksAreSweptInOrder) {
    Folders folders;
    folders.names["/d"] = {"P00007.JPG", "notes.txt"};
    SessionPictures session(folders.Lister());
    session.SetTarget("/d", "P");
    // P00008.xmp: the rating sidecar the review wrote, not a picture.
    folders.names["/d"] = {"P00007.JPG", "notes.txt",  "P00010.JPG", "P00008.JPG", "P00008.xmp",
                           "P00009.thm", "P00009.qrw", "P00011.JPG", "Pabc.JPG"};
    const auto files = session.Note(Record("/d", "P00011.JPG"));
    EXPECT_EQ(Names(files), (std::vector<std::string>{"P00008.JPG", "P00009.qrw", "P00009.thm",
                                                      "P00010.JPG", "P00011.JPG"}));
    EXPECT_TRUE(files[0].foundBySweep);
    EXPECT_FALSE(files[4].foundBySweep);
    EXPECT_EQ(files[2].companionOf, "/d/P00009.qrw");
    EXPECT_TRUE(session.Sweep().empty());
}

// A raw picture shows the JPEG of its number, else its ".thm"; a ".thm"
// is the companion of the raw file of its number, never a picture of its
// own unless that file is missing.
TEST(SessionPictures, RawFilesAndTheirCompanions) {
    Folders folders;
    SessionPictures session(folders.Lister());
    session.SetTarget("/d", "P");
    session.Note(Record("/d", "P00001.qrw"));
    EXPECT_EQ(session.ShownFile("/d/P00001.qrw"), "");
    const auto thm = session.Note(Record("/d", "P00001.THM"));
    ASSERT_EQ(thm.size(), 1u);
    EXPECT_EQ(thm[0].companionOf, "/d/P00001.qrw");
    EXPECT_EQ(session.ShownFile("/d/P00001.qrw"), "/d/P00001.THM");

    // Raw and JPEG of one number: the raw file shows the JPEG.
    session.Note(Record("/d", "P00002.JPG"));
    session.Note(Record("/d", "P00002.qrw"));
    session.Note(Record("/d", "P00002.thm"));
    EXPECT_EQ(session.ShownFile("/d/P00002.qrw"), "/d/P00002.JPG");
    EXPECT_EQ(session.Find("/d/P00002.thm")->companionOf, "/d/P00002.qrw");
    EXPECT_EQ(session.ShownFile("/d/P00002.JPG"), "/d/P00002.JPG");

    const auto orphan = session.Note(Record("/d", "P00003.thm"));
    ASSERT_EQ(orphan.size(), 1u);
    EXPECT_TRUE(orphan[0].IsPicture());
}

}  // namespace
