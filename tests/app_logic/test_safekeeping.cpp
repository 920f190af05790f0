// The safekeeping of a session's files: journal, backup copy, command after
// each picture, free space, and the facade that ties them together. Real
// files in a scratch folder; faults made with RLIMIT_FSIZE, a folder that
// vanishes, a path under a regular file.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <mutex>
#include <sstream>

#include "BackupCopier.h"
#include "FileDigest.h"
#include "FreeSpace.h"
#include "Messages.h"
#include "PictureCommand.h"
#include "Safekeeping.h"
#include "SessionJournal.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

class Scratch {
  public:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "safekeeping-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ignored;
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    const std::string& path() const { return path_; }

  private:
    std::string path_;
};

void Write(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Read(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Files of a given size above which writes fail (EFBIG), as a full disk
// does to the file being written; lifted when the object goes.
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &saved_);
        previous_ = ::signal(SIGXFSZ, SIG_IGN);
        rlimit limit = saved_;
        limit.rlim_cur = bytes;
        ::setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &saved_);
        ::signal(SIGXFSZ, previous_);
    }

  private:
    rlimit saved_{};
    sighandler_t previous_;
};

// Collects a worker's reports.
template <typename T>
struct Reports {
    std::mutex mutex;
    std::vector<T> items;
    std::function<void(const T&)> Sink() {
        return [this](const T& r) {
            std::lock_guard lock(mutex);
            items.push_back(r);
        };
    }
    std::vector<T> Take() {
        std::lock_guard lock(mutex);
        return std::exchange(items, {});
    }
};

orka::SavedFile Saved(const std::string& folder, const std::string& name,
                      const std::string& companionOf = {}) {
    orka::SavedFile f;
    f.directory = folder;
    f.name = name;
    f.path = folder + "/" + name;
    f.companionOf = companionOf;
    f.complete = name.find(".partiel.") == std::string::npos;
    return f;
}

std::vector<orka::JournalLine> EventsOf(const std::string& journal) {
    const orka::JournalRead read = orka::ReadJournal(journal);
    EXPECT_TRUE(read.readToEnd) << read.problem;
    return read.lines;
}

template <typename T>
std::vector<T> Only(const std::vector<orka::JournalLine>& lines) {
    std::vector<T> out;
    for (const auto& line : lines)
        if (const T* e = std::get_if<T>(&line.event))
            out.push_back(*e);
    return out;
}

orka::JournalFile FileEvent(const std::string& path, const std::string& sha) {
    orka::JournalFile f;
    f.path = path;
    f.size = 10;
    f.sha256 = sha;
    return f;
}

// ---- journal ---------------------------------------------------------------

TEST(SessionJournal, EveryEventReadsBackAsWritten) {
    CameraStatusData status{};
    status.imageQuality = 6;
    status.infocusSound = -7;
    orka::JournalFile file{"/p/P00001.jpg", 1234, std::string(64, 'a'), "", false, true,
                           false,           "",   "/p/old.jsonl"};
    orka::JournalBackup backup{"/p/P00001.jpg",      orka::BackupResult::Verified,
                               "/b/P00001.jpg",      1234,
                               std::string(64, 'b'), ""};
    orka::JournalCommand command{"/p/P00001.jpg",   true, std::nullopt, 9, true, "",
                                 {"une ligne", "é"}};
    const std::vector<orka::JournalEvent> events = {
        orka::JournalSessionStart{"orkactl", "/p", "P", "/b", "cmd \"$1\""},
        orka::JournalSettings{"", "x"},
        orka::JournalShot{"bracketing-0.3", 3, status},
        file,
        backup,
        command,
        orka::JournalRating{"/p/P00001.jpg", 4},
        orka::JournalSessionClose{2},
    };
    std::string text;
    for (const auto& e : events)
        text += orka::EncodeJournalLine({"2024-05-01T10:00:00.000+02:00", e}) + "\n";
    const orka::JournalRead read = orka::ParseJournal(text);
    ASSERT_TRUE(read.readToEnd) << read.problem;
    ASSERT_EQ(read.lines.size(), events.size());
    for (size_t i = 0; i < events.size(); ++i)
        EXPECT_EQ(orka::EncodeJournalLine(read.lines[i]),
                  orka::EncodeJournalLine({"2024-05-01T10:00:00.000+02:00", events[i]}));
    const auto shot = std::get<orka::JournalShot>(read.lines[2].event);
    EXPECT_EQ(shot.status->imageQuality, 6);
    EXPECT_EQ(shot.status->infocusSound, -7);
}

TEST(SessionJournal, ReadsAsFarAsTheFileIsSound) {
    const std::string good =
        R"({"time":"t","event":"file","path":"/p/P00001.jpg","size":5,"sha256":""})";
    const struct {
        const char* bad;
        bool stops;
    } cases[] = {
        {R"({"time":"t","event":"file","path":"/p/P0)", true},  // cut off by a crash
        {"\x01\xff garbage", true},
        {R"({"time":"t","event":"file","path":42})", true},  // wrong type
        {R"({"time":"t","event":"file","path":"x","size":-1})", true},
        {R"({"time":"t","event":"file","path":"x","sha256":"ABC"})", true},
        {R"({"time":"t","event":"backup","path":"x","result":"maybe"})", true},
        {R"({"time":"t","event":"shot","status":{"imageQuality":"six"}})", true},
        {R"([1,2,3])", true},
        {R"({"event":"file","path":"x"})", true},  // no time
        {R"({"time":"t","event":"from-a-later-version","x":1})", false},
        {"   ", false},
    };
    for (const auto& c : cases) {
        const orka::JournalRead read = orka::ParseJournal(good + "\n" + c.bad + "\n" + good);
        EXPECT_EQ(read.readToEnd, !c.stops) << c.bad;
        EXPECT_EQ(read.lines.size(), c.stops ? 1u : 2u) << c.bad;
        if (c.stops) {
            EXPECT_EQ(read.stoppedAtLine, 2u);
            EXPECT_NE(read.problem.find("ligne 2"), std::string::npos) << read.problem;
        }
    }
    // A last line without its line feed still counts when it is whole.
    EXPECT_EQ(orka::ParseJournal(good + "\n" + good).lines.size(), 2u);
}

TEST(SessionJournal, AFullDiskHoldsLinesBackAndNeverLeavesHalfALine) {
    Scratch dir;
    std::string problem;
    auto journal = orka::JournalWriter::Create(dir.path(), &problem);
    ASSERT_TRUE(journal) << problem;
    ASSERT_TRUE(journal->Append(orka::JournalSessionStart{"test", dir.path(), "P", "", ""}));
    const auto size = fs::file_size(journal->Path());
    {
        FileSizeLimit full(size + 40);  // room for part of one more line
        for (int i = 0; i < 3; ++i)
            EXPECT_FALSE(journal->Append(orka::JournalRating{"/p/P0000" + std::to_string(i), i}));
        EXPECT_EQ(journal->Backlog(), 3u);
        EXPECT_NE(journal->Problem().find("ne peut plus être écrit"), std::string::npos);
        EXPECT_EQ(fs::file_size(journal->Path()), size);  // the cut line was taken back
    }
    EXPECT_TRUE(journal->Flush());
    const auto ratings = Only<orka::JournalRating>(EventsOf(journal->Path()));
    ASSERT_EQ(ratings.size(), 3u);
    EXPECT_EQ(ratings[2].rating, 2);
    EXPECT_EQ(journal->Problem(), "");
}

TEST(SessionJournal, SummaryFindsWhatALostSessionOwes) {
    Scratch dir;
    // An older journal and two of the same second: the "-2" one is the last.
    for (const char* name :
         {"PCOrka-journal-20240501-101010.jsonl", "PCOrka-journal-20240502-090000.jsonl",
          "PCOrka-journal-20240502-090000-2.jsonl", "PCOrka-journal-2024.jsonl", "P00001.jpg"})
        Write(dir / name, "");
    EXPECT_EQ(orka::LastJournalIn(dir.path()), dir / "PCOrka-journal-20240502-090000-2.jsonl");

    const auto line = [](orka::JournalEvent e) { return orka::EncodeJournalLine({"t", e}) + "\n"; };
    const std::string sha(64, 'c');
    std::string text = line(orka::JournalSessionStart{"PCOrka", "/p", "P", "/b", ""});
    for (const char* name : {"/p/P00001.jpg", "/p/P00002.jpg", "/p/P00003.jpg", "/p/P00004.jpg"})
        text += line(FileEvent(name, sha));
    text += line(
        orka::JournalBackup{"/p/P00001.jpg", orka::BackupResult::Verified, "/b/x", 10, sha, ""});
    text +=
        line(orka::JournalBackup{"/p/P00002.jpg", orka::BackupResult::Owed, "", 0, "", "absent"});
    text += line(
        orka::JournalBackup{"/p/P00003.jpg", orka::BackupResult::Failed, "", 0, "", "disparue"});
    Write(dir / "PCOrka-journal-20240503-000000.jsonl", text + "{\"time\":\"t\",\"ev");

    const auto summary = orka::SummariseLastJournal(dir.path());
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->NeedsRecovery());
    EXPECT_FALSE(summary->cleanClose);
    EXPECT_EQ(summary->saved.size(), 4u);
    ASSERT_EQ(summary->backupOwed.size(), 2u);
    EXPECT_EQ(summary->backupOwed[0].path, "/p/P00002.jpg");
    EXPECT_EQ(summary->backupOwed[1].path, "/p/P00004.jpg");
    EXPECT_EQ(summary->backupFolder, "/b");
    EXPECT_NE(summary->Text().find("2 copies de sécurité restent à faire"), std::string::npos)
        << summary->Text();
    EXPECT_NE(summary->Text().find("ligne 9"), std::string::npos) << summary->Text();

    // Closed cleanly with nothing owed: nothing to recover.
    Write(dir / "PCOrka-journal-20240504-000000.jsonl",
          line(orka::JournalSessionStart{"PCOrka", "/p", "P", "", ""}) +
              line(FileEvent("/p/P00005.jpg", sha)) + line(orka::JournalSessionClose{0}));
    EXPECT_FALSE(orka::SummariseLastJournal(dir.path())->NeedsRecovery());
}

// ---- backup copy -----------------------------------------------------------

struct CopierTest : ::testing::Test {
    Scratch pictures, backup;
    Reports<orka::BackupReport> reports;
    orka::BackupCopier::Options fast{std::chrono::milliseconds(50), 3};

    std::string Picture(const std::string& name, const std::string& bytes) {
        Write(pictures / name, bytes);
        return pictures / name;
    }
    std::vector<std::string> BackupNames() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(backup.path()))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(CopierTest, CopiesUnderTheSameNameAndNeverOverwrites) {
    // In the backup: an identical earlier copy of P00001.jpg (kept as the
    // copy) and a different P00002.jpg (never replaced).
    Write(backup / "P00001.jpg", "one");
    Write(backup / "P00002.jpg", "someone else's");
    orka::BackupCopier copier(backup.path(), "P", reports.Sink(), fast);
    for (const auto& [name, bytes] : {std::pair{"P00001.jpg", "one"},
                                      {"P00002.jpg", "two"},
                                      {"P00002.thm", "thumb"},
                                      {"P00003.jpg", "three"}})
        copier.Enqueue({Picture(name, bytes), ""});
    ASSERT_TRUE(copier.WaitIdle(10s));
    const auto r = reports.Take();
    ASSERT_EQ(r.size(), 4u);
    for (const auto& report : r)
        EXPECT_EQ(report.outcome, orka::CopyOutcome::Verified) << report.reason;
    EXPECT_EQ(r[0].copy, backup / "P00001.jpg");
    // The files of number 2 move together to the next free number.
    EXPECT_EQ(r[1].copy, backup / "P00003.jpg");
    EXPECT_EQ(r[2].copy, backup / "P00003.thm");
    EXPECT_EQ(r[3].copy, backup / "P00004.jpg");
    EXPECT_EQ(Read(backup / "P00002.jpg"), "someone else's");
    EXPECT_EQ(Read(backup / "P00003.thm"), "thumb");
    EXPECT_EQ(r[2].sha256, orka::DigestFile(pictures / "P00002.thm")->sha256);
    EXPECT_EQ(BackupNames(),
              (std::vector<std::string>{"P00001.jpg", "P00002.jpg", "P00003.jpg", "P00003.thm",
                                        "P00004.jpg"}));  // no temporary file left
}

TEST_F(CopierTest, AnAbsentFolderKeepsCopiesOwedUntilItComesBack) {
    const std::string drive = backup / "drive";
    orka::BackupCopier copier(drive, "P", reports.Sink(), fast);
    copier.Enqueue({Picture("P00001.jpg", "1"), ""});
    copier.Enqueue({Picture("P00002.jpg", "2"), ""});
    ASSERT_TRUE(copier.WaitIdle(10s));
    std::this_thread::sleep_for(200ms);  // a few retries: each owed copy is reported once
    auto r = reports.Take();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].outcome, orka::CopyOutcome::Owed);
    EXPECT_NE(r[0].reason.find("est absent"), std::string::npos) << r[0].reason;
    EXPECT_EQ(copier.Pending().size(), 2u);

    fs::create_directory(drive);  // plugged back
    copier.RetryNow();
    for (int i = 0; i < 200 && !copier.Pending().empty(); ++i)
        std::this_thread::sleep_for(10ms);
    r = reports.Take();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].outcome, orka::CopyOutcome::Verified);
    EXPECT_EQ(Read(drive + "/P00002.jpg"), "2");
}

TEST_F(CopierTest, AFullOrReadOnlyFolderAndAVanishedPictureAreReportedNotLost) {
    const std::string picture = Picture("P00001.jpg", std::string(100000, 'x'));
    {
        FileSizeLimit full(50000);
        orka::BackupCopier copier(backup.path(), "P", reports.Sink(), fast);
        copier.Enqueue({picture, ""});
        ASSERT_TRUE(copier.WaitIdle(10s));
        const auto r = reports.Take();
        ASSERT_EQ(r.size(), 1u);
        EXPECT_EQ(r[0].outcome, orka::CopyOutcome::Owed);
        EXPECT_NE(r[0].reason.find("est plein"), std::string::npos) << r[0].reason;
        EXPECT_TRUE(BackupNames().empty());  // the cut copy was removed
        const auto jobs = copier.Stop();
        ASSERT_EQ(jobs.size(), 1u);  // still owed when the copier stops
    }
    // Read-only: a folder without write permission, or, for root who writes
    // anywhere, a folder that can never be made (under a regular file).
    std::string readOnly = backup / "ro";
    fs::create_directory(readOnly);
    if (::geteuid() == 0) {
        Write(backup / "plain", "");
        readOnly = backup / "plain/ro";
    } else {
        ::chmod(readOnly.c_str(), 0555);
    }
    orka::BackupCopier copier(readOnly, "P", reports.Sink(), fast);
    copier.Enqueue({pictures / "P00001.jpg", ""});
    copier.Enqueue({pictures / "P00009.jpg", ""});  // removed by hand before its copy
    ASSERT_TRUE(copier.WaitIdle(10s));
    const auto r = reports.Take();
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].outcome, orka::CopyOutcome::Owed);
    EXPECT_NE(r[0].reason, "");
    EXPECT_EQ(r[1].outcome, orka::CopyOutcome::Owed);  // the folder is checked first
    ::chmod(readOnly.c_str(), 0755);
    orka::BackupCopier working(backup.path(), "P", reports.Sink(), fast);
    working.Enqueue({pictures / "P00009.jpg", ""});
    ASSERT_TRUE(working.WaitIdle(10s));
    const auto gone = reports.Take();
    ASSERT_EQ(gone.size(), 1u);
    EXPECT_EQ(gone[0].outcome, orka::CopyOutcome::Failed);
    EXPECT_NE(gone[0].reason.find("a disparu"), std::string::npos) << gone[0].reason;
}

TEST(BackupNumbering, NextFreeNumberFollowsTheLibrarysRule) {
    EXPECT_EQ(orka::NextFreeNumber({}, "P"), "00001");
    EXPECT_EQ(orka::NextFreeNumber({"P00007.jpg", "P00012.partiel.jpg", "Q00050.jpg"}, "P"),
              "00013");
    EXPECT_EQ(orka::NextFreeNumber({"P99999.jpg"}, "P"), "99999~1");
    EXPECT_EQ(orka::NextFreeNumber({"P99999.jpg", "P99999~4.jpg"}, "P"), "99999~5");
}

// ---- command after each picture -------------------------------------------

TEST(PictureCommand, GetsThePathAndReportsExitStatusAndFirstErrors) {
    Scratch dir;
    const std::string out = dir / "out";
    const auto r =
        orka::RunPictureCommand("echo \"$1|$ORKA_PICTURE|$ORKA_COPY\" > " + out +
                                    "; for i in 1 2 3 4 5 6 7; do echo erreur $i >&2; done; exit 3",
                                {"/p/P 00001.jpg", true}, 10s);
    EXPECT_EQ(Read(out), "/p/P 00001.jpg|/p/P 00001.jpg|1\n");
    ASSERT_TRUE(r.exitCode);
    EXPECT_EQ(*r.exitCode, 3);
    EXPECT_FALSE(r.Succeeded());
    ASSERT_EQ(r.stderrLines.size(), orka::kCommandErrorLines);
    EXPECT_EQ(r.stderrLines[0], "erreur 1");
    EXPECT_EQ(r.Text(),
              "La commande après « P 00001.jpg » a échoué (code de sortie 3) : erreur 1.");
    EXPECT_TRUE(orka::RunPictureCommand("true", {"x", false}, 10s).Succeeded());
    EXPECT_EQ(orka::RunPictureCommand("exit 127", {"x", false}, 10s).exitCode, 127);
}

TEST(PictureCommand, AHangingCommandIsKilledAndFloodsOfOutputDoNotBlock) {
    const auto start = std::chrono::steady_clock::now();
    // A child of the shell that also hangs, holding the output open.
    const auto hung = orka::RunPictureCommand("sleep 30 & sleep 30", {"x", false}, 300ms);
    EXPECT_TRUE(hung.killed);
    EXPECT_FALSE(hung.Succeeded());
    EXPECT_NE(hung.Text().find("a été arrêtée"), std::string::npos);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 8s);

    const auto flood = orka::RunPictureCommand(
        "head -c 30000000 /dev/zero; head -c 8000000 /dev/zero | tr '\\0' 'e' >&2", {"x", false},
        60s);
    EXPECT_TRUE(flood.Succeeded());
    EXPECT_EQ(flood.outputBytes, 38000000u);
    ASSERT_EQ(flood.stderrLines.size(), 1u);  // one endless line, cut
    EXPECT_EQ(flood.stderrLines[0].size(), orka::kCommandErrorLineLength);
}

// ---- free space -------------------------------------------------------------

TEST(FreeSpace, EstimatesFromTheLastShotsOfTheSameKind) {
    uint64_t free = 0;
    orka::FreeSpace space([&](const std::string&) { return std::optional<uint64_t>(free); });
    const orka::ShotKind jpeg{5, 0, 0}, raw{0, 0, 0};
    EXPECT_EQ(space.BytesPerPicture(jpeg), orka::DefaultBytesPerPicture(jpeg));
    // A bracketing of three 2 MB pictures, then a single one still arriving.
    const uint64_t b = space.NoteShot(jpeg, 3);
    space.NoteFile(b, 6 << 20);
    const uint64_t s = space.NoteShot(jpeg, 1);
    space.NoteFile(s, 1);
    space.NoteFile(space.NoteShot(raw, 1), 13 << 20);
    EXPECT_EQ(space.BytesPerPicture(jpeg), 2u << 20);
    EXPECT_EQ(space.BytesPerPicture(raw), 13u << 20);
    free = orka::kSpaceReserve + (100u << 20);
    EXPECT_EQ(space.Measure("/x", jpeg).picturesThatFit, 50);
    free = orka::kSpaceReserve / 2;
    EXPECT_EQ(space.Measure("/x", raw).picturesThatFit, 0);
}

// ---- the facade -------------------------------------------------------------

struct SafekeepingTest : ::testing::Test {
    Scratch pictures, backup;
    uint64_t freeBytes = uint64_t(1) << 40;

    orka::SafekeepingSettings Settings(const std::string& backupFolder,
                                       const std::string& command = "") {
        orka::SafekeepingSettings s;
        s.program = "test";
        s.folder = pictures.path();
        s.prefix = "P";
        s.backupFolder = backupFolder;
        s.command = command;
        s.backupRetryPause = 50ms;
        s.freeBytes = [this](const std::string&) { return std::optional<uint64_t>(freeBytes); };
        return s;
    }
    orka::SavedFile Picture(const std::string& name, const std::string& bytes,
                            const std::string& companionOf = {}) {
        Write(pictures / name, bytes);
        return Saved(pictures.path(), name, companionOf);
    }
};

TEST_F(SafekeepingTest, JournalsEveryFileWithItsCopyAndCommand) {
    const std::string log = backup / "commands.log";
    orka::Safekeeping keep(Settings(backup / "copies", "echo \"$ORKA_COPY $1\" >> " + log));
    fs::create_directory(backup / "copies");
    CameraStatusData status{};
    status.imageQuality = 0;
    keep.ShotAsked("unique", status);
    keep.FilesSaved({Picture("P00001.qrw", "raw"),
                     Picture("P00001.thm", "thm", pictures / "P00001.qrw"),
                     Picture("P00002.partiel.jpg", "cut")});
    ASSERT_TRUE(keep.WaitIdle(20s));
    keep.RatingChanged(pictures / "P00001.qrw", 5);

    const auto view = keep.View();
    EXPECT_EQ(view.savedTwice, 3u);
    EXPECT_FALSE(view.backupFailing);
    EXPECT_EQ(view.backupText, "Copie de sécurité à jour : 3 fichiers en double dans « " +
                                   backup / "copies" + " ».");
    EXPECT_EQ(keep.StateOf(pictures / "P00001.thm")->copy, backup / "copies/P00001.thm");
    EXPECT_EQ(keep.Close(), 0u);

    const auto lines = EventsOf(keep.JournalPath());
    ASSERT_GE(lines.size(), 2u);
    EXPECT_TRUE(std::holds_alternative<orka::JournalSessionStart>(lines.front().event));
    EXPECT_TRUE(std::holds_alternative<orka::JournalSessionClose>(lines.back().event));
    const auto files = Only<orka::JournalFile>(lines);
    const auto copies = Only<orka::JournalBackup>(lines);
    ASSERT_EQ(files.size(), 3u);
    ASSERT_EQ(copies.size(), 3u);
    for (size_t i = 0; i < files.size(); ++i) {
        EXPECT_EQ(files[i].sha256, orka::DigestFile(files[i].path)->sha256);
        EXPECT_EQ(copies[i].sha256, orka::DigestFile(copies[i].copy)->sha256);
        EXPECT_EQ(copies[i].sha256, files[i].sha256);
    }
    EXPECT_EQ(files[1].companionOf, pictures / "P00001.qrw");
    EXPECT_FALSE(files[2].complete);
    EXPECT_EQ(Only<orka::JournalCommand>(lines).size(), 6u);  // each picture and each copy
    EXPECT_EQ(Only<orka::JournalRating>(lines).size(), 1u);
    EXPECT_EQ(Only<orka::JournalShot>(lines).at(0).status->imageQuality, 0);
    std::istringstream logLines(Read(log));
    std::string first;
    std::getline(logLines, first);
    EXPECT_EQ(first, "0 " + pictures / "P00001.qrw");
}

TEST_F(SafekeepingTest, ALostSessionsOwedCopiesAreFinishedByTheNext) {
    const std::string drive = backup / "drive";  // unplugged for now
    std::string journal;
    {
        orka::Safekeeping keep(Settings(drive, "exit 4"));
        keep.FilesSaved({Picture("P00001.jpg", "one"), Picture("P00002.jpg", "two")});
        ASSERT_TRUE(keep.WaitIdle(20s));
        const auto view = keep.View();
        EXPECT_EQ(view.owed, 2u);
        EXPECT_TRUE(view.backupFailing);
        EXPECT_NE(view.backupText.find("est absent"), std::string::npos) << view.backupText;
        EXPECT_NE(view.backupText.find("2 copies en attente"), std::string::npos);
        EXPECT_TRUE(view.commandFailing);
        EXPECT_NE(view.commandText.find("code de sortie 4"), std::string::npos);
        journal = keep.JournalPath();
        // The program dies here: what the journal holds so far is what the
        // next session finds.
        const auto summary = orka::SummariseJournal(orka::ReadJournal(journal), journal);
        EXPECT_FALSE(summary.cleanClose);
        EXPECT_EQ(summary.backupOwed.size(), 2u);
    }
    fs::create_directory(drive);
    const auto summary = orka::SummariseLastJournal(pictures.path());
    ASSERT_TRUE(summary);
    EXPECT_TRUE(summary->cleanClose);  // closed, but with copies owed
    ASSERT_TRUE(summary->NeedsRecovery());
    ASSERT_EQ(summary->backupOwed.size(), 2u);

    orka::Safekeeping next(Settings(""));
    next.Resume(*summary);  // takes the earlier backup folder
    ASSERT_TRUE(next.WaitIdle(20s));
    EXPECT_EQ(next.View().savedTwice, 2u);
    EXPECT_EQ(Read(drive + "/P00002.jpg"), "two");
    next.Close();
    EXPECT_FALSE(orka::SummariseLastJournal(pictures.path())->NeedsRecovery());
}

TEST_F(SafekeepingTest, RefusesAShotWithNoRoomAndWarnsForARunThatDoesNotFit) {
    orka::Safekeeping keep(Settings(backup.path()));
    CameraStatusData status{};
    status.imageQuality = 5;
    const uint64_t picture = orka::DefaultBytesPerPicture(orka::ShotKindOf(status));
    freeBytes = orka::kSpaceReserve + 2 * picture;
    EXPECT_TRUE(keep.CheckShot(status, 1).allowed);
    const orka::SpaceCheck bracketing = keep.CheckShot(status, 3);
    EXPECT_FALSE(bracketing.allowed);
    EXPECT_NE(bracketing.message.find("Plus assez de place"), std::string::npos);
    const orka::SpaceCheck run = keep.CheckRun(status, 10);
    EXPECT_FALSE(run.allowed);
    EXPECT_NE(run.message.find("La séquence de 10 images ne tient pas"), std::string::npos)
        << run.message;
    EXPECT_NE(run.message.find("Les copies de sécurité"), std::string::npos) << run.message;
    keep.ShotAsked("unique", status);
    const auto view = keep.View();
    EXPECT_TRUE(view.spaceLow);
    EXPECT_EQ(view.picturesThatFit, 2);
    EXPECT_EQ(view.spaceText,
              "Attention, bientôt plus de place : Place pour environ 2 images (sauvegarde : 2 "
              "images).");
}

// The texts read French unless a translator is installed, which then
// translates the templates and the counted words, never what is put in.
TEST(Messages, FrenchByDefaultTranslatedWhenAskedArgumentsKeptAsGiven) {
    EXPECT_EQ(orka::Megabytes(3355443), "3,2 Mo");
    EXPECT_EQ(orka::Message("« %1 » : %2 %3", {"a%2b", "1"}), "« a%2b » : 1 %3");
    orka::SetMessageTranslator([](const char* french) -> std::string {
        const std::string text = french;
        if (text == "Place pour environ %1")
            return "Room for about %1";
        if (text == "images")
            return "pictures";
        if (text == "%1,%2 Mo")
            return "%1.%2 MB";
        return text;
    });
    const std::string room =
        orka::Message("Place pour environ %1", {orka::Count(12, "image", "images")});
    const std::string size = orka::Megabytes(3355443);
    orka::SetMessageTranslator(nullptr);
    EXPECT_EQ(room, "Room for about 12 pictures");
    EXPECT_EQ(size, "3.2 MB");
    EXPECT_EQ(orka::Count(1, "image", "images"), "1 image");
}

}  // namespace
