// Received files: extensions, numbering and placement, in a
// private temporary tree with HOME, XDG_CONFIG_HOME and TMPDIR pointed into it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "files.h"

namespace fs = std::filesystem;
using namespace fotolien::files;

namespace {

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

void writeFile(const fs::path& path, std::string_view content = {}) {
    std::ofstream(path, std::ios::binary) << content;
}

std::vector<std::string> names(const fs::path& dir) {
    std::vector<std::string> list;
    for (const auto& entry : fs::directory_iterator(dir))
        list.push_back(entry.path().filename());
    std::sort(list.begin(), list.end());
    return list;
}

mode_t newFileMode() {
    const mode_t mask = ::umask(022);
    ::umask(mask);
    return 0666 & ~mask;
}

class FilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char pattern[] = "/tmp/orka-files-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        root_ = pattern;
        tmp_ = root_ / "tmp";
        home_ = root_ / "home";
        target_ = root_ / "target";
        for (const fs::path& dir : {tmp_, home_, target_})
            fs::create_directory(dir);
        for (const char* name : {"TMPDIR", "HOME", "XDG_CONFIG_HOME"}) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
        }
        ::setenv("TMPDIR", tmp_.c_str(), 1);
        ::setenv("HOME", home_.c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
    }

    // Points TMPDIR at /dev/shm when it is another filesystem than the
    // targets, so that files are copied instead of linked.
    bool moveTempToOtherFilesystem() {
        char pattern[] = "/dev/shm/orka-files-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            return false;
        otherTmp_ = pattern;
        struct stat shm = {};
        struct stat root = {};
        if (::stat(pattern, &shm) != 0 || ::stat(root_.c_str(), &root) != 0 ||
            shm.st_dev == root.st_dev)
            return false;
        tmp_ = otherTmp_;
        ::setenv("TMPDIR", pattern, 1);
        return true;
    }

    void TearDown() override {
        for (const auto& [name, value] : saved_) {
            value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
        }
        fs::remove_all(root_);
        if (!otherTmp_.empty())
            fs::remove_all(otherTmp_);
    }

    // What the receive thread does for one file: FileOpen, FileIn, FileClose.
    SaveResult save(const fs::path& target, const std::string& extension, std::string_view content,
                    int quality = 0, std::string* number = nullptr) {
        std::optional<TempFile> temp = createTempFile();
        if (!temp) {
            ADD_FAILURE() << "no temporary file";
            return {};
        }
        EXPECT_TRUE(writeAll(temp->fd, content.data(), content.size()));
        ::close(temp->fd);
        return saveReceivedFile({temp->directory, temp->name, target, "P", extension, quality},
                                number ? *number : number_);
    }

    fs::path root_, tmp_, home_, target_, otherTmp_;
    std::string number_;
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

}  // namespace

TEST(FileExtension, KeepsOnlyLettersAndDigitsAfterTheLastDot) {
    const struct {
        std::string name, extension;
    } cases[] = {
        {"IMG_0001.JPG", ".JPG"},
        {"a.b.qrw", ".qrw"},
        {"README", ""},
        {"trailing.", "."},
        {"../../etc/passwd", ".etcpasswd"},
        {"x.y/../../z", ".z"},
        {"evil./..", "."},
        {std::string("x.j\0p/g", 7), ".jpg"},
        {"a." + std::string(20, 'x'), "." + std::string(15, 'x')},
        {"a.\xE9t\xC3\xA9", ".t"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(extensionOf(c.name), c.extension) << c.name;
}

TEST(SaveSettings, RefusesMissingOrLongTextsAndPrefixesLeavingTheDirectory) {
    const std::string fits(259, 'd'), tooLong(260, 'd');
    EXPECT_TRUE(validSaveSettings(fits.c_str(), fits.c_str()));
    EXPECT_FALSE(validSaveSettings(tooLong.c_str(), "P"));
    EXPECT_FALSE(validSaveSettings("/photos", tooLong.c_str()));
    EXPECT_FALSE(validSaveSettings("/photos", "../P"));
    EXPECT_FALSE(validSaveSettings(nullptr, "P"));
    EXPECT_FALSE(validSaveSettings("/photos", nullptr));

    SavedFileInfo info;
    fillSavedFileInfo({std::string(300, 'd'), std::string(300, 'n'), true, true, true}, info);
    EXPECT_EQ(std::string(info.directory), std::string(259, 'd'));
    EXPECT_EQ(std::string(info.fileName), std::string(255, 'n'));
    EXPECT_EQ(info.inDocumentsFolder, 1);
    EXPECT_EQ(info.numberingExhausted, 1);
}

TEST_F(FilesTest, TemporaryFilesArePrivateAndUnique) {
    std::optional<TempFile> a = createTempFile(), b = createTempFile();
    ASSERT_TRUE(a && b);
    EXPECT_EQ(a->directory, tmp_.string() + "/");
    EXPECT_TRUE(a->name.starts_with("VQZ"));
    EXPECT_NE(a->name, b->name);
    struct stat info {};
    ASSERT_EQ(::fstat(a->fd, &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    ::close(a->fd);
    ::close(b->fd);

    ::setenv("TMPDIR", (root_ / "missing").c_str(), 1);
    EXPECT_FALSE(createTempFile());
}

TEST_F(FilesTest, NumberFollowsTheHighestMatchingName) {
    const struct {
        std::vector<std::string> existing;
        std::string next;
        bool exhausted;
    } cases[] = {
        {{}, "00001", false},
        {{"P00007.jpg", "P00012.jpg", "Q00050.jpg", "p00099.jpg"}, "00013", false},
        {{"P00012.tar.gz", "P00030"}, "00031", false},
        // Up to five characters before the dot count; six do not.
        {{"P123.jpg", "P000500.jpg", "P00040x.jpg"}, "00124", false},
        {{"P99999~4.jpg"}, "00001", false},
        {{"P99999.jpg"}, "99999~1", true},
        {{"P99999.jpg", "P99999~4.jpg", "P99999~2.thm"}, "99999~5", true},
        {{"P99999.jpg", "P99999~123456789012345678901.jpg"}, "99999~1000000000", true},
    };
    int index = 0;
    for (const auto& c : cases) {
        const fs::path dir = root_ / std::to_string(index++);
        fs::create_directory(dir);
        for (const std::string& name : c.existing)
            writeFile(dir / name);
        std::optional<NumberChoice> next = nextNumber(dir, "P");
        ASSERT_TRUE(next);
        EXPECT_EQ(next->number, c.next) << dir;
        EXPECT_EQ(next->exhausted, c.exhausted) << dir;
    }
    EXPECT_FALSE(nextNumber(root_ / "missing", "P"));
}

TEST_F(FilesTest, SavesUnderRunningNumbersAndRemovesTheTemporaryFile) {
    const SaveResult first = save(target_, ".jpg", "one");
    EXPECT_TRUE(first.saved);
    EXPECT_EQ(first.directory, target_.string());
    EXPECT_EQ(first.fileName, "P00001.jpg");
    EXPECT_FALSE(first.inDocumentsFolder || first.numberingExhausted);

    const std::string withSlash = target_.string() + "/";
    const SaveResult second = save(withSlash, ".jpg", "two");
    EXPECT_EQ(second.directory, withSlash);
    EXPECT_EQ(second.fileName, "P00002.jpg");
    EXPECT_EQ(number_, "00002");

    EXPECT_EQ(names(target_), (std::vector<std::string>{"P00001.jpg", "P00002.jpg"}));
    EXPECT_EQ(readFile(target_ / "P00002.jpg"), "two");
    EXPECT_TRUE(names(tmp_).empty());
    struct stat info {};
    ASSERT_EQ(::stat((target_ / "P00001.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, newFileMode());

    // The numbering never moves the process: relative targets keep working.
    const fs::path before = fs::current_path();
    fs::current_path(root_);
    EXPECT_EQ(save("target", ".jpg", "three").fileName, "P00003.jpg");
    EXPECT_EQ(fs::current_path(), root_);
    fs::current_path(before);
}

TEST_F(FilesTest, ThumbnailsAndQuality6RawFilesShareThePreviousNumber) {
    // The first file since loading has no previous number: numbered normally.
    EXPECT_EQ(save(target_, ".thm", "t").fileName, "P00001.thm");
    EXPECT_EQ(save(target_, ".jpg", "j", 6).fileName, "P00002.jpg");
    EXPECT_EQ(save(target_, ".QRW", "r", 6).fileName, "P00002.QRW");
    EXPECT_EQ(save(target_, ".THM", "t", 6).fileName, "P00002.THM");
    EXPECT_EQ(save(target_, ".qrw", "r", 0).fileName, "P00003.qrw");

    for (const char* name : {"P99999.jpg", "P99999~4.jpg"})
        writeFile(target_ / name);
    const SaveResult extended = save(target_, ".jpg", "j");
    EXPECT_EQ(extended.fileName, "P99999~5.jpg");
    EXPECT_TRUE(extended.numberingExhausted);
    EXPECT_EQ(save(target_, ".thm", "t").fileName, "P99999~5.thm");
}

TEST_F(FilesTest, NeverOverwritesAnExistingFileOrFollowsALink) {
    writeFile(target_ / "P00001.thm", "old");
    fs::create_symlink(root_ / "outside", target_ / "P00002.thm");
    number_ = "00001";
    EXPECT_EQ(save(target_, ".thm", "new").fileName, "P00003.thm");
    number_ = "00002";
    const SaveResult second = save(target_, ".thm", "new");
    EXPECT_EQ(second.fileName, "P00004.thm");
    EXPECT_FALSE(second.inDocumentsFolder);
    EXPECT_EQ(readFile(target_ / "P00001.thm"), "old");
    EXPECT_FALSE(fs::exists(root_ / "outside"));
}

// Temporary files on the target's filesystem are hard-linked into place, on
// another one (here /dev/shm) they are copied into exclusively created files.
TEST_F(FilesTest, TwoSaversRacingNeverShareAName) {
    constexpr int kPerSaver = 40;
    for (bool otherFilesystem : {false, true}) {
        if (otherFilesystem && !moveTempToOtherFilesystem())
            GTEST_SKIP() << "no second filesystem for the copy path";
        const fs::path dir = root_ / (otherFilesystem ? "copied" : "linked");
        fs::create_directory(dir);
        auto saver = [&](char tag) {
            std::string number;
            for (int i = 0; i < kPerSaver; ++i)
                save(dir, ".jpg", tag + std::to_string(i), 0, &number);
        };
        std::thread a(saver, 'a'), b(saver, 'b');
        a.join();
        b.join();

        std::vector<std::string> expectedNames;
        std::set<std::string> expectedContents, contents;
        for (int i = 1; i <= 2 * kPerSaver; ++i) {
            char name[16];
            std::snprintf(name, sizeof name, "P%05d.jpg", i);
            expectedNames.push_back(name);
        }
        for (int i = 0; i < kPerSaver; ++i) {
            expectedContents.insert("a" + std::to_string(i));
            expectedContents.insert("b" + std::to_string(i));
        }
        EXPECT_EQ(names(dir), expectedNames) << dir;
        for (const std::string& name : names(dir))
            contents.insert(readFile(dir / name));
        EXPECT_EQ(contents, expectedContents) << dir;
        EXPECT_TRUE(names(tmp_).empty());
    }
}

TEST_F(FilesTest, CopiesAcrossFilesystemsWithTheUsualPermissions) {
    if (!moveTempToOtherFilesystem())
        GTEST_SKIP() << "no second filesystem for the copy path";
    std::string big(3 << 20, '\0');
    for (std::size_t i = 0; i < big.size(); ++i)
        big[i] = char(i * 7919 >> 5);
    EXPECT_EQ(save(target_, ".jpg", big).fileName, "P00001.jpg");
    EXPECT_EQ(readFile(target_ / "P00001.jpg"), big);
    struct stat info {};
    ASSERT_EQ(::stat((target_ / "P00001.jpg").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, newFileMode());
    EXPECT_TRUE(names(tmp_).empty());
}

TEST_F(FilesTest, ReadsTheDocumentsFolderFromUserDirs) {
    const std::string home = home_.string();
    const struct {
        std::string text, expected;
    } cases[] = {
        {"XDG_DOCUMENTS_DIR=\"$HOME/Docs\"\n", home + "/Docs"},
        {"# XDG_DOCUMENTS_DIR=\"/x\"\n  XDG_DOCUMENTS_DIR = \"/srv/photos/\"\n", "/srv/photos"},
        {"XDG_DOCUMENTS_DIR=\"/a\"\nXDG_DOCUMENTS_DIR=\"/b \\\"c\\\"\"\n", "/b \"c\""},
        {"XDG_DOCUMENTS_DIR=\"relative/x\"\n", home + "/Documents"},
        {"XDG_DOCUMENTS_DIR=\"/unterminated\n", home + "/Documents"},
    };
    fs::create_directory(home_ / ".config");
    for (const auto& c : cases) {
        writeFile(home_ / ".config" / "user-dirs.dirs", c.text);
        EXPECT_EQ(documentsDirectory(), c.expected) << c.text;
    }
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // invalid, so ignored
    EXPECT_EQ(documentsDirectory(), home + "/Documents");
}

TEST_F(FilesTest, FallsBackToTheDocumentsFolder) {
    const SaveResult missing = save(root_ / "missing", ".jpg", "a");
    EXPECT_TRUE(missing.saved && missing.inDocumentsFolder);
    EXPECT_EQ(missing.directory, (home_ / "Documents").string());
    EXPECT_EQ(readFile(home_ / "Documents" / "P00001.jpg"), "a");

    fs::create_directory(root_ / "config");
    writeFile(root_ / "config" / "user-dirs.dirs", "XDG_DOCUMENTS_DIR=\"$HOME/Mes photos\"\n");
    ::setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    writeFile(root_ / "afile");
    for (const fs::path& unusable : {root_ / "afile", fs::path()}) {
        const SaveResult r = save(unusable, ".jpg", "b");
        EXPECT_TRUE(r.inDocumentsFolder);
        EXPECT_EQ(r.directory, (home_ / "Mes photos").string());
    }
    EXPECT_EQ(names(home_ / "Mes photos"), (std::vector<std::string>{"P00001.jpg", "P00002.jpg"}));
    EXPECT_TRUE(names(tmp_).empty());
}

TEST_F(FilesTest, KeepsTheTemporaryFileWhenBothFoldersFail) {
    writeFile(root_ / "afile");
    ::setenv("HOME", (root_ / "afile" / "home").c_str(), 1);  // Documents cannot be created
    const SaveResult r = save(root_ / "afile" / "target", ".jpg", "keep me");
    EXPECT_FALSE(r.saved);
    EXPECT_TRUE(r.inDocumentsFolder);
    EXPECT_FALSE(r.numberingExhausted);
    EXPECT_EQ(r.directory, tmp_.string());
    EXPECT_TRUE(r.fileName.starts_with("VQZ"));
    EXPECT_EQ(readFile(tmp_ / r.fileName), "keep me");
}
