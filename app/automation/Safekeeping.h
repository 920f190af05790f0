// Safekeeping: where every picture of a session is, at any moment. One
// object per session and picture folder, shared by the window and orkactl;
// plain C++, no Qt. It owns:
//  - the session journal in the picture folder (SessionJournal.h);
//  - the verified second copy into a backup folder (BackupCopier.h), off
//    while no backup folder is set;
//  - the command run after each picture and each backup copy
//    (PictureCommand.h), off while no command is set;
//  - the free-space figures of both folders (FreeSpace.h).
//
// The caller feeds it the shots it asks for and the files SessionPictures
// reports; hashing, copying and commands run on worker threads, so that no
// call here waits for a disk or a command. What happened is polled with
// Generation()/View() (per-file marks and French texts for a status area).
//
// How a window uses it (one Safekeeping per picture folder and prefix):
//  - at start, before shooting: SummariseLastJournal(folder); when the
//    summary NeedsRecovery(), show its Text() and call Resume(summary);
//  - a new folder or prefix: Close() this one, make a new one (new journal);
//  - settings: SetBackupFolder(folder or "" for off), SetCommand(line or "");
//  - before a press of the shutter: CheckShot(Status, releases); when not
//    allowed, show the message and do not release; else ShotAsked(
//    ShotModeName(mode), Status, releases);
//  - when an interval run or a trigger schedule starts: CheckRun(Status,
//    pictures), show the message if any (a refusal when not allowed);
//  - every batch SessionPictures::Note or Sweep returns: FilesSaved(batch);
//    a rating change: RatingChanged(path, rating);
//  - on the idle pass, when Generation() changed: View() (or StateOf(path)
//    per picture) for the strip marks and the status texts;
//  - on close: Close().
//
// Thread-safe: every public member may be called from any thread. One lock
// (mutex_) guards the per-file states, the figures and the free-space
// history; the workers take it only to record their results, never while
// they copy, hash or run a command.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "BackupCopier.h"
#include "FreeSpace.h"
#include "PictureCommand.h"
#include "SessionJournal.h"
#include "SessionPictures.h"

namespace orka {

struct SafekeepingSettings {
    std::string program = "PCOrka";  // written in the journal
    std::string folder;              // the picture folder (the journal goes there)
    std::string prefix;              // the pictures' prefix
    std::string backupFolder;        // empty: no second copy
    std::string command;             // empty: no command after each picture
    std::chrono::milliseconds commandLimit = kCommandLimit;
    std::chrono::milliseconds backupRetryPause{5000};
    // Where the free space of a folder comes from (statvfs unless told).
    FreeSpace::FreeBytes freeBytes = FreeSpace::FreeBytesOnDisk;
};

// Where a file stands.
enum class FileMark {
    SavedOnce,   // in the picture folder (no backup folder set)
    Owed,        // its copy is still to be made (queued, or the folder is away)
    SavedTwice,  // copied and read back identical
    Failed,      // the copy was given up: see reason
};

struct FileState {
    std::string path;
    FileMark mark = FileMark::SavedOnce;
    bool complete = true;
    std::string companionOf;
    uint64_t size = 0;
    std::string sha256;  // empty until hashed
    std::string copy;    // SavedTwice: the copy's path
    std::string reason;  // Failed, Owed: French
};

// What a status area shows; every text French, empty when there is nothing
// to say.
struct SafekeepingView {
    uint64_t generation = 0;
    std::vector<FileState> files;  // in the order they were saved
    uint64_t savedOnce = 0, owed = 0, savedTwice = 0, failed = 0;

    bool backupOn = false;
    bool backupFailing = false;  // show backupText in red
    std::string backupText;

    std::optional<int64_t> picturesThatFit;        // picture folder
    std::optional<int64_t> backupPicturesThatFit;  // backup folder
    bool spaceLow = false;                         // under kFewPicturesLeft in either folder
    std::string spaceText;

    bool commandFailing = false;  // the last command failed
    uint64_t commandFailures = 0;
    std::string commandText;

    std::string journalPath;
    std::string journalText;  // the journal cannot be written (red)
};

// A check made before shooting. `allowed` false: do not shoot, tell the user
// `message`. A message with `allowed` true is a warning.
struct SpaceCheck {
    bool allowed = true;
    std::string message;
};

// The journal's name of a shooting mode (the item index of the modes group:
// single, bracketing 0.3, intervalometer, event, bracketing 0.5, self-timer,
// video).
std::string ShotModeName(int modeIndex);

class Safekeeping {
  public:
    // Opens the journal (a new file in the folder) and writes the session's
    // start. A journal that cannot be created leaves the rest working and
    // says so in View().journalText.
    explicit Safekeeping(SafekeepingSettings settings);
    // Close() with a short wait.
    ~Safekeeping();
    Safekeeping(const Safekeeping&) = delete;
    Safekeeping& operator=(const Safekeeping&) = delete;

    // ---- fed by the caller ----
    void ShotAsked(const std::string& mode, const CameraStatusData& status, int releases = 1);
    // Files from SessionPictures::Note or Sweep (each once).
    void FilesSaved(const std::vector<SavedFile>& files);
    void RatingChanged(const std::string& path, int rating);
    // Empty turns the second copy off: copies still owed are dropped
    // (journalled as cancelled). A new folder takes the owed copies over.
    void SetBackupFolder(const std::string& folder);
    void SetCommand(const std::string& command);
    // Finishes what an earlier session left owed (SummariseLastJournal): its
    // files are journalled again here and copied. With no backup folder set,
    // the earlier session's folder is taken.
    void Resume(const JournalSummary& summary);
    // Tries owed copies now (the backup drive was plugged back).
    void RetryBackup();

    // ---- checks before shooting ----
    // A shot of `releases` pictures with these settings: refused when the
    // picture folder has no room for them.
    SpaceCheck CheckShot(const CameraStatusData& status, int releases = 1) const;
    // A run of `pictures` pictures (an interval sequence; for a trigger
    // schedule, the most it can take): refused when the picture folder
    // cannot hold them, a warning when the backup folder cannot.
    SpaceCheck CheckRun(const CameraStatusData& status, int64_t pictures) const;

    // ---- polled ----
    // Changes whenever the view would.
    uint64_t Generation() const;
    SafekeepingView View() const;
    std::optional<FileState> StateOf(const std::string& path) const;
    const std::string& JournalPath() const { return journalPath_; }
    std::vector<std::string> OwedCopies() const;

    // Waits until every file is hashed, every copy made or owed and waiting
    // for its folder, every command run; false when `limit` passed first.
    bool WaitIdle(std::chrono::milliseconds limit);
    // Waits up to `limit` as WaitIdle, stops the workers and writes the
    // clean close marker with the copies still owed (which the next
    // session's recovery finds). Later calls do nothing. Returns the number
    // of copies owed.
    uint64_t Close(std::chrono::milliseconds limit = std::chrono::seconds(10));

  private:
    struct Intake {
        SavedFile file;
        uint64_t shot = 0;
        JournalFile resumed;  // set (path not empty) for a resumed file
    };

    void IntakeLoop();
    void TakeIn(const Intake& item);
    void OnBackup(const BackupReport& report);
    void OnCommand(const CommandResult& result);
    void Journal(const JournalEvent& event);
    FileState* StateLocked(const std::string& path);
    void StartBackupLocked(const std::string& folder);
    void ChangedLocked() { ++generation_; }
    ShotKind LastKindLocked() const;

    const SafekeepingSettings initial_;
    std::unique_ptr<JournalWriter> journal_;  // set once in the constructor
    std::string journalPath_;
    std::string journalProblem_;  // creation failure, constant after construction

    mutable std::mutex mutex_;
    // Guarded by mutex_:
    std::condition_variable intakeWake_;
    std::condition_variable intakeIdle_;
    std::deque<Intake> intake_;
    bool intakeBusy_ = false;
    bool stopping_ = false;
    bool closed_ = false;
    std::string backupFolder_;
    std::string command_;
    std::vector<FileState> files_;
    std::map<std::string, size_t> index_;  // path -> files_ position
    FreeSpace space_;
    uint64_t currentShot_ = 0;
    std::optional<ShotKind> lastKind_;
    bool backupFailing_ = false;
    std::string backupProblem_;
    uint64_t commandFailures_ = 0;
    bool commandFailing_ = false;
    std::string commandText_;
    uint64_t generation_ = 1;
    // The space figures, measured at most once a second (statvfs).
    mutable std::chrono::steady_clock::time_point spaceMeasured_{};
    mutable FolderSpace pictureSpace_, backupSpace_;

    // The workers, replaced under mutex_. Their threads call back into
    // OnBackup/OnCommand, which take mutex_, so a worker is stopped only
    // after its pointer was taken out under the lock and the lock released;
    // shared so that a waiter keeps the one it waits on alive.
    std::shared_ptr<BackupCopier> copier_;
    std::shared_ptr<PictureCommand> runner_;

    std::thread intakeThread_;  // last: starts once everything above exists
};

}  // namespace orka
