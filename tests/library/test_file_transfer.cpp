// The camera's files on disk: numbering and naming, the documents-folder
// fallback, hostile names and handles, unplugs mid-file, and 1,000
// captures in a row.
#include <filesystem>
#include <fstream>
#include <set>
#include <thread>

#include "sim_support.h"

namespace fotolien::test {
namespace {

namespace fs = std::filesystem;

class Files : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        root_ = sandbox() / ::testing::UnitTest::GetInstance()->current_test_info()->name();
        target_ = root_ / "target";
        tmp_ = root_ / "tmp";
        home_ = root_ / "home";
        useFolders(root_);
        enterControlMode();
        ASSERT_EQ(SetImageSize(3), 0);     // 640 x 480: quick to render
        ASSERT_EQ(SetImageQuality(3), 0);  // standard JPEG: one file
        sim().clearLog();
    }
    void TearDown() override {
        SimTest::TearDown();
        std::filesystem::remove_all(root_);
    }

    static std::set<std::string> namesIn(const fs::path& dir) {
        std::set<std::string> names;
        if (fs::is_directory(dir)) {
            for (const auto& entry : fs::directory_iterator(dir)) {
                names.insert(entry.path().filename().string());
            }
        }
        return names;
    }
    static int32_t waiting() {
        int32_t count = 0;
        GetWaitingFileNumber(&count);
        return count;
    }
    // Waits until the library has handled `count` FileClose requests in all.
    static bool fileClosesHandled(size_t count, std::chrono::milliseconds limit = 10s) {
        size_t seen = 0;
        return count == 0 || sim().waitForPacket(
                                 [&](const LogEntry& e) {
                                     seen +=
                                         e.direction == Direction::HostToCamera && e.code == 0x200B;
                                     return seen >= count;
                                 },
                                 limit);
    }
    // One picture, and every file it brings.
    static void shoot() {
        ASSERT_EQ(CaptureImage(0), 0);
        ASSERT_EQ(TerminateCaptureImage(), 0);
        const auto deadline = std::chrono::steady_clock::now() + 10s;
        while (waiting() > 0 && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(1ms);
        }
        ASSERT_EQ(waiting(), 0);
    }
    static SavedFileInfo saved() {
        SavedFileInfo info;
        EXPECT_EQ(GetSavedFileInfo(&info), 0);
        return info;
    }
    void touch(const std::string& name) { std::ofstream(target_ / name) << "old"; }

    fs::path root_, target_, tmp_, home_;
};

TEST_F(Files, NumberingContinuesAfterTheHighestNumber) {
    touch("P00007.jpg");
    touch("P00012.jpg");
    touch("Q00050.jpg");  // another prefix
    shoot();
    EXPECT_EQ(namesIn(target_),
              (std::set<std::string>{"P00007.jpg", "P00012.jpg", "P00013.jpg", "Q00050.jpg"}));
    std::ifstream in(target_ / "P00013.jpg", std::ios::binary);
    EXPECT_EQ(in.get(), 0xFF);
    EXPECT_EQ(in.get(), 0xD8);
    const SavedFileInfo info = saved();
    EXPECT_EQ(std::string(info.directory), target_.string());
    EXPECT_EQ(std::string(info.fileName), "P00013.jpg");
    EXPECT_EQ(info.inDocumentsFolder, 0);
    EXPECT_EQ(info.numberingExhausted, 0);
    EXPECT_TRUE(namesIn(tmp_).empty()) << "a temporary file was left behind";
}

TEST_F(Files, CompanionFilesShareTheNumberOfTheirPicture) {
    ASSERT_EQ(SetColorMode(5), 0);  // the profile adds a thumbnail
    shoot();
    ASSERT_EQ(SetImageQuality(6), 0);  // raw and JPEG (and the thumbnail)
    shoot();
    EXPECT_EQ(namesIn(target_), (std::set<std::string>{"P00001.jpg", "P00001.thm", "P00002.jpg",
                                                       "P00002.qrw", "P00002.thm"}));
}

TEST_F(Files, ExhaustedNumbersGoOnWithATilde) {
    touch("P99999.jpg");
    shoot();
    EXPECT_TRUE(fs::exists(target_ / "P99999~1.jpg"));
    EXPECT_EQ(saved().numberingExhausted, 1);
    touch("P99999~4.jpg");
    shoot();
    EXPECT_TRUE(fs::exists(target_ / "P99999~5.jpg"));
}

TEST_F(Files, AnUnusableTargetSendsFilesToTheDocumentsFolder) {
    ASSERT_EQ(SetSaveFileInformation((root_ / "missing").c_str(), "P"), 0);
    shoot();
    const fs::path documents = home_ / "Documents";
    EXPECT_EQ(namesIn(documents), std::set<std::string>{"P00001.jpg"});
    const SavedFileInfo info = saved();
    EXPECT_EQ(info.inDocumentsFolder, 1);
    EXPECT_EQ(std::string(info.directory), documents.string());
    EXPECT_EQ(std::string(info.fileName), "P00001.jpg");
}

TEST_F(Files, WhenBothFoldersFailTheTemporaryFileStays) {
    ASSERT_EQ(SetSaveFileInformation((root_ / "missing").c_str(), "P"), 0);
    std::ofstream(root_ / "home-file") << "x";
    setenv("HOME", (root_ / "home-file").c_str(), 1);  // no folder can be made under a file
    shoot();
    const SavedFileInfo info = saved();
    EXPECT_EQ(std::string(info.directory), tmp_.string());
    ASSERT_EQ(namesIn(tmp_), std::set<std::string>{info.fileName});
    EXPECT_EQ(std::string(info.fileName).rfind("VQZ", 0), 0u);
    EXPECT_GT(fs::file_size(tmp_ / info.fileName), 0u);
}

TEST_F(Files, HostileNamesNeverLeadOutOfTheTarget) {
    ASSERT_TRUE(sim().sendFile("../../../escape.jpg", Bytes{1, 2, 3}));
    ASSERT_TRUE(sim().sendFile("a.j/../../x", Bytes{4}));
    ASSERT_TRUE(sim().sendFile("noextension", Bytes{5}));
    ASSERT_TRUE(sim().sendFile(std::string("b.\x01\xFFj\"p g?") + std::string(20, 'e'), Bytes{6}));
    ASSERT_TRUE(fileClosesHandled(4));
    EXPECT_EQ(namesIn(target_),
              (std::set<std::string>{"P00001.jpg", "P00002.x", "P00003",
                                     "P00004.jpg" + std::string(12, 'e')}));  // 15 at most
    EXPECT_EQ(namesIn(root_), (std::set<std::string>{"target", "tmp", "home"}));
    EXPECT_TRUE(namesIn(tmp_).empty());
}

TEST_F(Files, AnOverlongNameIsRefusedAndNotWaitedFor) {
    ASSERT_TRUE(sim().sendFile(std::string(300, 'n') + ".jpg", Bytes{1}));
    ASSERT_TRUE(waitFor(Direction::HostToCamera, 0x200A));
    flushReceiver();
    EXPECT_EQ(sim().snapshot().filesRefused, 1u);
    EXPECT_NE(at32(payloadOf(sent(0x200A)[0]), 0), 0u) << "FileOpen was not refused";
    EXPECT_TRUE(namesIn(target_).empty());
    EXPECT_TRUE(namesIn(tmp_).empty());
    // A refused file will not come: it leaves the count like a saved one
    // (here a file nobody asked for: the count stays at 0).
    EXPECT_EQ(waiting(), 0);
}

TEST_F(Files, HandlesTheLibraryDidNotGiveOutChangeNothing) {
    sim().setFileHandleOverride(0xBAD0000);
    ASSERT_TRUE(sim().sendFile("x.jpg", Bytes(100, 7)));
    ASSERT_TRUE(fileClosesHandled(1));
    EXPECT_TRUE(namesIn(target_).empty());
    for (uint16_t code : {0x200C, 0x200B}) {
        for (const LogEntry& reply : sent(code)) {
            EXPECT_NE(at16(payloadOf(reply), 0), 0) << std::hex << code;
        }
    }
    EXPECT_EQ(waiting(), 0);
}

TEST_F(Files, AnUnplugMidFileKeepsWhatCameAndClearsTheCount) {
    sim().setChunkSize(4096);             // a file of several chunks
    sim().unplugDuring(0x200C, 1000, 2);  // the third FileIn is cut short
    ASSERT_EQ(CaptureImage(0), 0);
    ASSERT_EQ(TerminateCaptureImage(), 0);
    EXPECT_TRUE(reportedGone());
    EXPECT_EQ(waiting(), 0);
    // What came is kept in the target folder, under a name no whole
    // picture has.
    EXPECT_TRUE(namesIn(tmp_).empty());
    const auto kept = namesIn(target_);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(kept.begin()->find(".partiel."), 6u) << *kept.begin();
    EXPECT_EQ(fs::file_size(target_ / *kept.begin()), 2 * 4096u);
}

TEST_F(Files, CloseWaitsForExpectedFiles) {
    sim().setChunkSize(1);  // the file takes a long while
    ASSERT_EQ(CaptureImage(0), 0);
    ASSERT_EQ(TerminateCaptureImage(), 0);
    sim().clearLog();
    EXPECT_EQ(CloseCamera(), 1);
    EXPECT_EQ(SleepCamera(1), 1);
    EXPECT_EQ(ShutdownCamera(), 1);
    EXPECT_TRUE(sent(0x1002).empty());
    EXPECT_TRUE(sent(0x1003).empty());
    sim().unplug();
    EXPECT_TRUE(reportedGone());
}

TEST_F(Files, SaveSettingsTooLongOrLeadingElsewhereAreRefused) {
    const std::string longText(260, 'd');
    EXPECT_EQ(SetSaveFileInformation(longText.c_str(), "P"), 1);
    EXPECT_EQ(SetSaveFileInformation(target_.c_str(), longText.c_str()), 1);
    EXPECT_EQ(SetSaveFileInformation(target_.c_str(), "../P"), 1);
    EXPECT_EQ(SetSaveFileInformation(nullptr, "P"), 1);
    EXPECT_EQ(SetSaveFileInformation(target_.c_str(), nullptr), 1);
    shoot();
    EXPECT_EQ(namesIn(target_), std::set<std::string>{"P00001.jpg"});
}

TEST_F(Files, AThousandCapturesInARow) {
    ASSERT_EQ(SetColorMode(5), 0);  // a picture and its thumbnail each time
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    constexpr int kCaptures = 100;  // the sanitizers look at the same paths, ten times slower
#else
    constexpr int kCaptures = 1000;
#endif
    for (int i = 0; i < kCaptures; ++i) {
        ASSERT_EQ(CaptureImage(0), 0) << i;
        ASSERT_EQ(TerminateCaptureImage(), 0) << i;
    }
    const auto deadline = std::chrono::steady_clock::now() + 100s;
    while (waiting() > 0 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(5ms);
    }
    ASSERT_EQ(waiting(), 0);
    std::set<std::string> expected;
    char name[32];
    for (int i = 1; i <= kCaptures; ++i) {
        std::snprintf(name, sizeof name, "P%05d.jpg", i);
        expected.insert(name);
        std::snprintf(name, sizeof name, "P%05d.thm", i);
        expected.insert(name);
    }
    EXPECT_EQ(namesIn(target_), expected);
    EXPECT_TRUE(namesIn(tmp_).empty());
}

}  // namespace
}  // namespace fotolien::test
