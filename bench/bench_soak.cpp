// Soak: the whole chain from the simulated camera to the second copy, at
// full speed, with faults thrown in at random, then a proof that nothing was
// lost. Pictures are single shots, three-shot bracketing, RAW + JPEG, raw
// and JPEG with thumbnail; between them, at random: the camera unplugged
// in the middle of a file or between shots (and plugged back), the backup
// folder taken away and brought back, and the disk "full" (RLIMIT_FSIZE:
// every file written stops at a random size) for a round.
//
// At the end it checks that
//  - every file the camera completed is in the picture folder whole, or
//    kept as NAME.partiel.EXT because the disk was full while it came;
//  - every .partiel file holds only bytes the camera sent (a prefix of one
//    of its files);
//  - every saved file has its verified copy in the backup folder, or is
//    listed as owed;
//  - the journal agrees with the disk, line by line: each file event names
//    a file with that size and SHA-256, each verified copy is there with its
//    hash, and every numbered file of the folder is in the journal;
// and prints the counts. Exit status 0 when all of it holds.
//
//   bench_soak [--pictures N] [--seed S] [--keep]
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cinttypes>
#include <cstring>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>
#include <set>

#include "FileDigest.h"
#include "Safekeeping.h"
#include "SessionJournal.h"
#include "SessionPictures.h"
#include "bench_support.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

constexpr uint16_t kFileOpen = 0x200A;
constexpr uint16_t kFileClose = 0x200B;
constexpr uint16_t kFileIn = 0x200C;
constexpr int kSmallPictures = 3;  // 640 x 480: the soak is about files, not pixels

uint32_t At32(const std::vector<uint8_t>& b, size_t at) {
    if (at + 4 > b.size())
        return 0;
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
           uint32_t(b[at + 3]) << 24;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string Extension(const std::string& name) {
    const size_t dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : name.substr(dot);
}

// One file as the camera sent it, rebuilt from the packet log.
struct Transfer {
    std::string extension;
    std::string bytes;       // the data of every FileIn, as far as it went out
    bool closeSent = false;  // all of it went out
    bool completed = false;  // the host answered its FileClose
    bool used = false;       // matched by a saved file
};

// The host answers the camera's requests of one kind in the order they came
// (its reply carries a numbering of its own), so each reply is paired with
// the oldest unanswered request of its code.
std::vector<Transfer> TransfersInLog() {
    std::vector<Transfer> transfers;
    std::deque<size_t> opening;  // FileOpen requests not answered yet
    std::deque<size_t> closing;  // FileClose requests not answered yet
    std::map<uint32_t, size_t> byHandle;
    for (const orkasim::LogEntry& e : orkasim::Camera::instance().log()) {
        if (e.direction == orkasim::Direction::CameraToHost) {
            if (e.code == kFileOpen) {
                Transfer t;
                const uint32_t n = At32(e.bytes, 16);
                std::string name;
                for (uint32_t i = 0; i < n && 20 + 2 * i < e.bytes.size(); ++i)
                    name += char(e.bytes[20 + 2 * i]);
                t.extension = Extension(name);
                opening.push_back(transfers.size());
                transfers.push_back(std::move(t));
            } else if (e.code == kFileIn) {
                const auto it = byHandle.find(At32(e.bytes, 12));
                if (it == byHandle.end())
                    continue;
                const size_t length = At32(e.bytes, 16);
                const size_t from = 24;
                const size_t to = std::min(e.bytes.size(), from + length);
                if (to > from)
                    transfers[it->second].bytes.append(e.bytes.begin() + from,
                                                       e.bytes.begin() + ptrdiff_t(to));
            } else if (e.code == kFileClose) {
                const auto it = byHandle.find(At32(e.bytes, 12));
                if (it == byHandle.end())
                    continue;
                transfers[it->second].closeSent = true;
                closing.push_back(it->second);
            }
        } else if (e.code == kFileOpen && !opening.empty()) {
            byHandle[At32(e.bytes, 16)] = opening.front();
            opening.pop_front();
        } else if (e.code == kFileClose && !closing.empty()) {
            transfers[closing.front()].completed = true;
            closing.pop_front();
        }
    }
    return transfers;
}

struct Figures {
    uint64_t shots = 0, pictures = 0, capturesRefused = 0;
    uint64_t unplugsMidFile = 0, unplugsBetween = 0, fills = 0, vanishes = 0;
    uint64_t filesCompleted = 0, savedWhole = 0, partialCut = 0, partialFull = 0;
    uint64_t lost = 0, partialNotSent = 0, wholeNotSent = 0;
    uint64_t journalMismatch = 0, copiesVerified = 0, copiesOwed = 0, copiesFailed = 0;
    uint64_t copyMismatch = 0, notInJournal = 0, journalLines = 0, commands = 0;
};

class Soak {
  public:
    Soak(long pictures, unsigned seed, std::string root)
        : target_(pictures), random_(seed), root_(std::move(root)) {
        folder_ = root_ + "/photos";
        backup_ = root_ + "/sauvegarde";
        fs::create_directories(folder_);
        fs::create_directories(backup_);
        fs::create_directories(root_ + "/tmp");
        fs::create_directories(root_ + "/home");
        ::setenv("TMPDIR", (root_ + "/tmp").c_str(), 1);
        ::setenv("HOME", (root_ + "/home").c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (root_ + "/home/.config").c_str(), 1);
        ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &unlimited_);
    }

    bool Run();

  private:
    void Connect();
    void SetKind(int quality, int driveMode, int colorMode);
    bool Shoot();
    void Collect(const std::vector<orka::SavedFile>& files);
    void WaitForFiles();
    void Fill(bool on);
    void Vanish(bool away);
    void VerifyRound(bool diskFull);
    void VerifyEnd();
    bool Chance(double p) { return std::uniform_real_distribution<>(0, 1)(random_) < p; }
    int Between(int low, int high) { return std::uniform_int_distribution<>(low, high)(random_); }

    const long target_;
    std::mt19937 random_;
    const std::string root_;
    std::string folder_, backup_;
    rlimit unlimited_{};
    bool away_ = false;
    orka::SessionPictures pictures_;
    std::unique_ptr<orka::Safekeeping> keep_;
    std::vector<orka::SavedFile> round_;  // saved during the round
    std::vector<orka::SavedFile> saved_;  // all
    Figures f_;
};

void Soak::Connect() {
    orkasim::Camera& camera = orkasim::Camera::instance();
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (OpenCamera(ORKA_PRODUCT_ID) == 0) {
            for (int i = 0; i < 5000; ++i) {
                if (StartPCControlMode() == 0) {
                    SetSaveFileInformation(folder_.c_str(), "P");
                    SetDisplayAfterView(0);
                    SetImageSize(kSmallPictures);
                    return;
                }
                std::this_thread::sleep_for(1ms);
            }
        }
        CloseCamera();
        camera.replug();
    }
    std::fprintf(stderr, "soak: the simulated camera cannot be reached again\n");
    std::exit(2);
}

void Soak::SetKind(int quality, int driveMode, int colorMode) {
    SetImageQuality(quality);
    SetDriveMode(driveMode);
    SetColorMode(colorMode);
}

// One release; false when the camera is gone.
bool Soak::Shoot() {
    int32_t point[2] = {1632, 1224};
    S1On(point);
    const bool shot = CaptureImage(0) == 0;
    if (shot)
        TerminateCaptureImage();
    S1Off();
    if (!shot)
        ++f_.capturesRefused;
    return CheckExistUSBCamera() != 4;
}

void Soak::Collect(const std::vector<orka::SavedFile>& files) {
    keep_->FilesSaved(files);
    round_.insert(round_.end(), files.begin(), files.end());
}

void Soak::WaitForFiles() {
    const auto deadline = orkabench::Clock::now() + 20s;
    for (;;) {
        SavedFileInfo info;
        if (GetSavedFileInfo(&info) == 0)
            Collect(pictures_.Note(info));
        int32_t waiting = 0;
        GetWaitingFileNumber(&waiting);
        if (waiting <= 0 || CheckExistUSBCamera() == 4 || orkabench::Clock::now() > deadline)
            break;
        std::this_thread::sleep_for(1ms);
    }
    SavedFileInfo info;
    if (GetSavedFileInfo(&info) == 0)
        Collect(pictures_.Note(info));
    Collect(pictures_.Sweep());
}

void Soak::Fill(bool on) {
    rlimit limit = unlimited_;
    if (on)
        limit.rlim_cur = rlim_t(Between(2000, 120000));
    ::setrlimit(RLIMIT_FSIZE, &limit);
}

void Soak::Vanish(bool away) {
    if (away == away_)
        return;
    const std::string gone = backup_ + ".absent";
    if (away)
        fs::rename(backup_, gone);
    else
        fs::rename(gone, backup_);
    away_ = away;
    ++f_.vanishes;
    if (!away)
        keep_->RetryBackup();
}

// Matches the files saved in this round with what the camera sent.
void Soak::VerifyRound(bool diskFull) {
    std::vector<Transfer> sent = TransfersInLog();
    orkasim::Camera::instance().clearLog();
    for (const orka::SavedFile& file : round_) {
        const std::string bytes = ReadFile(file.path);
        const std::string extension = Extension(file.name);
        Transfer* match = nullptr;
        for (Transfer& t : sent) {
            if (t.used || t.extension != extension)
                continue;
            const bool fits = file.complete ? t.closeSent && t.bytes == bytes
                                            : t.bytes.compare(0, bytes.size(), bytes) == 0;
            if (fits) {
                match = &t;
                break;
            }
        }
        if (match == nullptr) {
            ++(file.complete ? f_.wholeNotSent : f_.partialNotSent);
            std::fprintf(stderr, "soak: %s holds bytes the camera did not send\n",
                         file.path.c_str());
            continue;
        }
        match->used = true;
        if (file.complete)
            ++f_.savedWhole;
        else if (match->completed)
            ++f_.partialFull;
        else
            ++f_.partialCut;
    }
    for (const Transfer& t : sent) {
        if (!t.completed)
            continue;
        ++f_.filesCompleted;
        if (!t.used) {
            ++f_.lost;
            std::fprintf(stderr, "soak: a %s file the camera completed is missing%s\n",
                         t.extension.c_str(), diskFull ? " (disk full)" : "");
        }
    }
    saved_.insert(saved_.end(), round_.begin(), round_.end());
    round_.clear();
}

bool Soak::Run() {
    orkasim::Camera& camera = orkasim::Camera::instance();
    camera.reset();
    camera.setStateNoticeDelay(1ms);
    camera.setLogLimits(1 << 20, 1 << 20);
    camera.setChunkSize(16384);  // several FileIn per file, so unplugs can cut one
    Connect();
    pictures_.SetTarget(folder_, "P");
    orka::SafekeepingSettings settings;
    settings.program = "bench_soak";
    settings.folder = folder_;
    settings.prefix = "P";
    settings.backupFolder = backup_;
    settings.command = "test -s \"$1\"";
    settings.backupRetryPause = 100ms;
    keep_ = std::make_unique<orka::Safekeeping>(settings);

    const auto start = orkabench::Clock::now();
    while (long(f_.pictures) < target_) {
        // The kind of shot.
        const int kind = Between(0, 99);
        int quality = 5, drive = 0, colour = 0, releases = 1;
        std::string mode = "unique";
        if (kind < 20) {
            drive = 3, releases = 3, mode = "bracketing-0.3";
        } else if (kind < 40) {
            quality = 6;  // RAW + JPEG
        } else if (kind < 50) {
            quality = 0;  // raw and its thumbnail
        } else if (kind < 60) {
            colour = 5;  // JPEG and its thumbnail
        }
        SetKind(quality, drive, colour);
        // The faults of this round.
        const bool full = Chance(0.06);
        if (Chance(0.05))
            Vanish(!away_);
        if (full) {
            Fill(true);
            ++f_.fills;
        }
        if (Chance(0.04)) {
            camera.unplugDuring(kFileIn, size_t(Between(0, 16000)), Between(0, 3));
            ++f_.unplugsMidFile;
        }

        CameraStatusData status{};
        GetCameraStatusData(&status);
        if (const orka::SpaceCheck check = keep_->CheckShot(status, releases); !check.allowed) {
            std::fprintf(stderr, "soak: %s\n", check.message.c_str());
            return false;
        }
        keep_->ShotAsked(mode, status, releases);
        ++f_.shots;
        bool present = true;
        for (int r = 0; r < releases && present; ++r) {
            present = Shoot();
            ++f_.pictures;
        }
        if (present && Chance(0.02)) {
            camera.unplug();  // between the shot and its files
            ++f_.unplugsBetween;
        }
        WaitForFiles();
        if (full)
            Fill(false);
        if (CheckExistUSBCamera() == 4 || !camera.plugged()) {
            camera.replug();
            Connect();
            WaitForFiles();
        }
        VerifyRound(full);
    }
    const double seconds = orkabench::seconds(orkabench::Clock::now() - start);

    // The end: the backup folder back, the disk free again.
    Fill(false);
    Vanish(false);
    keep_->RetryBackup();
    keep_->WaitIdle(300s);
    const orka::SafekeepingView view = keep_->View();
    f_.copiesVerified = view.savedTwice;
    f_.copiesOwed = view.owed;
    f_.copiesFailed = view.failed;
    const std::string journal = keep_->JournalPath();
    keep_->Close(30s);
    TerminatePCControlMode();
    CloseCamera();
    VerifyEnd();

    std::printf("soak: %" PRIu64 " pictures in %" PRIu64 " shots, %.1f s (%.0f pictures/s)\n",
                f_.pictures, f_.shots, seconds, double(f_.pictures) / seconds);
    std::printf("faults: %" PRIu64 " unplugs set for mid-file, %" PRIu64
                " between shot and files, %" PRIu64 " rounds with the disk full, %" PRIu64
                " backup folder moves; %" PRIu64 " captures refused\n",
                f_.unplugsMidFile, f_.unplugsBetween, f_.fills, f_.vanishes, f_.capturesRefused);
    std::printf("files: %" PRIu64 " completed by the camera, %" PRIu64 " saved whole, %" PRIu64
                " .partiel (cut by an unplug), %" PRIu64 " .partiel (disk full), %" PRIu64
                " lost\n",
                f_.filesCompleted, f_.savedWhole, f_.partialCut, f_.partialFull, f_.lost);
    std::printf("copies: %" PRIu64 " verified, %" PRIu64 " owed, %" PRIu64 " failed, %" PRIu64
                " not matching\n",
                f_.copiesVerified, f_.copiesOwed, f_.copiesFailed, f_.copyMismatch);
    std::printf("journal: %" PRIu64 " lines, %" PRIu64 " commands, %" PRIu64
                " disagreeing with the disk, %" PRIu64 " files missing from it (%s)\n",
                f_.journalLines, f_.commands, f_.journalMismatch, f_.notInJournal, journal.c_str());
    const bool sound = f_.lost == 0 && f_.wholeNotSent == 0 && f_.partialNotSent == 0 &&
                       f_.journalMismatch == 0 && f_.notInJournal == 0 && f_.copyMismatch == 0 &&
                       f_.copiesFailed == 0 && f_.copiesOwed == 0 &&
                       f_.copiesVerified == saved_.size() && f_.savedWhole > 0;
    std::printf("%s\n", sound ? "nothing lost" : "FAILED");
    return sound;
}

// The journal against the disk, and the copies against the pictures.
void Soak::VerifyEnd() {
    const std::string path = orka::LastJournalIn(folder_);
    const orka::JournalRead read = orka::ReadJournal(path);
    if (!read.readToEnd) {
        std::fprintf(stderr, "soak: journal unsound: %s\n", read.problem.c_str());
        ++f_.journalMismatch;
    }
    f_.journalLines = read.lines.size();
    std::set<std::string> inJournal;
    std::map<std::string, std::string> hashes;
    for (const orka::JournalLine& line : read.lines) {
        if (const auto* file = std::get_if<orka::JournalFile>(&line.event)) {
            const auto disk = orka::DigestFile(file->path);
            if (!disk || disk->sha256 != file->sha256 || disk->size != file->size) {
                ++f_.journalMismatch;
                std::fprintf(stderr, "soak: journal and disk disagree on %s\n", file->path.c_str());
            }
            inJournal.insert(file->path);
            hashes[file->path] = file->sha256;
        } else if (const auto* copy = std::get_if<orka::JournalBackup>(&line.event)) {
            if (copy->result != orka::BackupResult::Verified)
                continue;
            const auto disk = orka::DigestFile(copy->copy);
            if (!disk || disk->sha256 != copy->sha256 || copy->sha256 != hashes[copy->path]) {
                ++f_.copyMismatch;
                std::fprintf(stderr, "soak: copy %s does not match\n", copy->copy.c_str());
            }
        } else if (std::holds_alternative<orka::JournalCommand>(line.event)) {
            ++f_.commands;
        }
    }
    if (read.lines.empty() ||
        !std::holds_alternative<orka::JournalSessionClose>(read.lines.back().event))
        ++f_.journalMismatch;
    for (const auto& entry : fs::directory_iterator(folder_)) {
        const std::string name = entry.path().filename().string();
        if (orka::ParseNumberedName(name, "P") && inJournal.count(entry.path().string()) == 0) {
            ++f_.notInJournal;
            std::fprintf(stderr, "soak: %s is not in the journal\n", name.c_str());
        }
    }
    if (inJournal.size() != saved_.size())
        ++f_.notInJournal;
}

}  // namespace

int main(int argc, char** argv) {
    long pictures = 2000;
    unsigned seed = 1;
    bool keepFiles = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--pictures" && i + 1 < argc)
            pictures = std::atol(argv[++i]);
        else if (arg == "--seed" && i + 1 < argc)
            seed = unsigned(std::atol(argv[++i]));
        else if (arg == "--keep")
            keepFiles = true;
        else {
            std::fprintf(stderr, "usage: bench_soak [--pictures N] [--seed S] [--keep]\n");
            return 2;
        }
    }
    std::string root = (fs::temp_directory_path() / "orka-soak-XXXXXX").string();
    if (::mkdtemp(root.data()) == nullptr) {
        std::perror("mkdtemp");
        return 2;
    }
    std::printf("soak: seed %u, folder %s\n", seed, root.c_str());
    bool sound;
    {
        Soak soak(pictures, seed, root);
        sound = soak.Run();
    }
    if (!keepFiles && sound)
        fs::remove_all(root);
    return sound ? 0 : 1;
}
