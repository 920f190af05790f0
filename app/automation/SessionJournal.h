// The session journal: one append-only file of JSON lines per session in the
// picture folder, one event a line, each line handed to the system in one
// write as it happens, so that a crash of the program loses no event it
// wrote. It says what was asked and where every picture went: the shots
// asked for, each file saved (size and SHA-256), each backup copy and its
// check, each command run after a picture, each rating change, and a clean
// close marker at the end.
//
// The reader takes a journal as far as it is sound (a line cut off by a
// crash, a corrupted or hand-edited line ends the reading there, never the
// program) and sums up the last journal of a folder for a recovery at start:
// the pictures it saved and the backup copies still owed.
//
// Plain C++ (nlohmann-json), no Qt: the window and orkactl share it.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "fotolien.h"

namespace orka {

// ---- events ------------------------------------------------------------

struct JournalSessionStart {
    std::string program;  // "PCOrka", "orkactl"
    std::string folder;   // the picture folder
    std::string prefix;
    std::string backupFolder;  // empty: no backup copy
    std::string command;       // empty: no command after each picture
};

// The backup folder or the command changed during the session.
struct JournalSettings {
    std::string backupFolder;
    std::string command;
};

struct JournalShot {
    std::string mode;  // "unique", "bracketing", "intervalometer", ...
    int releases = 1;
    std::optional<CameraStatusData> status;  // the settings the caller held
};

struct JournalFile {
    std::string path;
    uint64_t size = 0;
    std::string sha256;
    std::string companionOf;  // the picture a ".thm" file accompanies
    bool complete = true;     // false: cut off, kept as NAME.partiel.EXT
    bool inDocuments = false;
    // The file was gone or unreadable when it was hashed (size and hash
    // empty); `reason` says why.
    bool missing = false;
    std::string reason;
    // Owed by an earlier session whose journal this is (its copy is resumed
    // here); empty for a file saved in this session.
    std::string resumedFrom;
};

enum class BackupResult {
    Verified,   // copied and read back identical
    Owed,       // not copied yet: the copy is retried
    Failed,     // given up (the picture is gone, the copy never read back right)
    Cancelled,  // the backup was turned off before the copy
};

struct JournalBackup {
    std::string path;  // the picture
    BackupResult result = BackupResult::Owed;
    std::string copy;  // the copy's path (Verified)
    uint64_t size = 0;
    std::string sha256;  // of the copy as read back (Verified)
    std::string reason;  // French, for Owed and Failed
};

struct JournalCommand {
    std::string path;                      // the argument: a picture or its backup copy
    bool forCopy = false;                  // run for a backup copy
    std::optional<int> exitCode;           // when it exited
    int signal = 0;                        // when a signal ended it
    bool killed = false;                   // ended for running past the limit
    std::string error;                     // French, when it could not be started
    std::vector<std::string> stderrLines;  // its first lines of errors
};

struct JournalRating {
    std::string path;
    int rating = 0;
};

struct JournalSessionClose {
    uint64_t copiesOwed = 0;
};

using JournalEvent =
    std::variant<JournalSessionStart, JournalSettings, JournalShot, JournalFile, JournalBackup,
                 JournalCommand, JournalRating, JournalSessionClose>;

struct JournalLine {
    std::string time;  // local, ISO 8601 with milliseconds and offset
    JournalEvent event;
};

// One line of JSON, without its line feed, and back. DecodeJournalLine
// gives nullopt (and the reason in French) for a line that is not a sound
// event; an event of a kind this version does not know is sound but
// `ignored` is set and nothing is returned.
std::string EncodeJournalLine(const JournalLine& line);
std::optional<JournalLine> DecodeJournalLine(std::string_view text, std::string* problem = nullptr,
                                             bool* ignored = nullptr);

// ---- writing -----------------------------------------------------------

// The name of a session's journal: "PCOrka-journal-AAAAMMJJ-HHMMSS.jsonl",
// "-N" before ".jsonl" for a second one in the same second. No name the
// library's numbering gives looks like it.
std::string JournalFileName(std::chrono::system_clock::time_point start, int index = 1);

// Appends events to one journal. Thread-safe: every member takes the lock,
// which guards all the fields.
class JournalWriter {
  public:
    // Creates a new journal in `folder` (never an existing file). nullptr and
    // the reason in French when it cannot be created.
    static std::unique_ptr<JournalWriter> Create(const std::string& folder,
                                                 std::string* problem = nullptr);
    ~JournalWriter();
    JournalWriter(const JournalWriter&) = delete;
    JournalWriter& operator=(const JournalWriter&) = delete;

    // Writes the event as one line, stamped now. A line the file cannot take
    // (disk full, file too large) is kept, with those after it, and written
    // before the next event or at Flush: the journal keeps the order of
    // events and never holds half a line. False while lines are held back.
    bool Append(const JournalEvent& event);
    // Writes what is held back and asks the system to put the file on disk.
    bool Flush();

    const std::string& Path() const { return path_; }
    // Lines held back, and the last reason in French (empty when none).
    size_t Backlog() const;
    std::string Problem() const;

  private:
    JournalWriter(int fd, std::string path);
    bool WriteBacklogLocked();

    mutable std::mutex mutex_;
    int fd_;
    const std::string path_;
    std::vector<std::string> backlog_;  // whole lines, each with its '\n'
    std::string problem_;
};

// ---- reading -----------------------------------------------------------

struct JournalRead {
    std::vector<JournalLine> lines;  // the sound events, in order
    bool readToEnd = true;           // false: reading stopped at a bad line
    size_t stoppedAtLine = 0;        // 1-based number of that line
    std::string problem;             // French
    size_t ignoredLines = 0;         // sound events of kinds not known here
};

// Lines longer than this are not sound (no event is near this size).
inline constexpr size_t kMaxJournalLine = 1 << 20;

JournalRead ParseJournal(std::string_view text);
// Reads a journal file; a missing or unreadable file reads as nothing, with
// the reason.
JournalRead ReadJournal(const std::string& path);

// The journal of `folder` written last (by the date and time in its name);
// empty when there is none.
std::string LastJournalIn(const std::string& folder);

// What a journal says happened.
struct JournalSummary {
    std::string journal;  // its path
    bool cleanClose = false;
    bool readToEnd = true;
    size_t stoppedAtLine = 0;
    std::string backupFolder;  // as last set in the session
    std::string folder;
    uint64_t shots = 0;
    std::vector<JournalFile> saved;       // the files saved, in order
    std::vector<JournalFile> backupOwed;  // those whose copy is still owed
    uint64_t copiesVerified = 0;
    uint64_t copiesFailed = 0;

    // The session ended without its close marker, or left copies owed.
    bool NeedsRecovery() const { return !cleanClose || !backupOwed.empty(); }
    // What the window tells the user at start, in French.
    std::string Text() const;
};

JournalSummary SummariseJournal(const JournalRead& read, const std::string& path = {});
// The summary of the last journal of `folder`; nullopt when it has none.
std::optional<JournalSummary> SummariseLastJournal(const std::string& folder);

const char* BackupResultName(BackupResult result);

}  // namespace orka
