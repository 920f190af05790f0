// The command run after each picture: a command line of the user's, run by
// /bin/sh -c with the picture's path as "$1" and in the environment
// (ORKA_PICTURE; ORKA_COPY is 1 for a backup copy, else 0), one at a time in
// the order the pictures came, on a thread of its own so that the caller
// never waits.
//
// Its output is read as it comes and thrown away but for the first lines of
// its errors, so that megabytes of output neither stop it nor fill memory.
// A command still running after the time limit (kCommandLimit unless told)
// is ended: SIGTERM to its process group, SIGKILL two seconds later.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orka {

// How long a command may run for one picture.
inline constexpr std::chrono::seconds kCommandLimit{60};
// The errors kept for the journal: this many lines, each cut to this length.
inline constexpr size_t kCommandErrorLines = 5;
inline constexpr size_t kCommandErrorLineLength = 300;

struct CommandJob {
    std::string path;
    bool forCopy = false;
};

struct CommandResult {
    CommandJob job;
    bool started = false;
    std::optional<int> exitCode;  // when it exited
    int signal = 0;               // when a signal ended it
    bool killed = false;          // ended for running past the limit
    std::string error;            // French, when it could not be started
    std::vector<std::string> stderrLines;
    uint64_t outputBytes = 0;  // stdout and stderr together
    std::chrono::milliseconds duration{0};

    bool Succeeded() const { return exitCode && *exitCode == 0; }
    // One French sentence on what went wrong; empty on success.
    std::string Text() const;
};

// Runs one command now and waits for it (the worker's step; tests call it).
// `cancel` becoming true ends it as the time limit would.
CommandResult RunPictureCommand(const std::string& commandLine, const CommandJob& job,
                                std::chrono::milliseconds limit,
                                const std::atomic<bool>* cancel = nullptr);

class PictureCommand {
  public:
    // Called on the worker thread, outside the lock.
    using Report = std::function<void(const CommandResult&)>;

    PictureCommand(std::string commandLine, Report report,
                   std::chrono::milliseconds limit = kCommandLimit);
    // Ends the command in progress as its time limit would; the jobs not
    // started are dropped.
    ~PictureCommand();
    PictureCommand(const PictureCommand&) = delete;
    PictureCommand& operator=(const PictureCommand&) = delete;

    const std::string& CommandLine() const { return commandLine_; }
    void Enqueue(CommandJob job);
    // Waits until every job has run; false when `limit` passed first.
    bool WaitIdle(std::chrono::milliseconds limit);

  private:
    void Run();

    const std::string commandLine_;
    const Report report_;
    const std::chrono::milliseconds limit_;

    std::mutex mutex_;
    // Guarded by mutex_:
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<CommandJob> queue_;
    bool busy_ = false;
    bool stop_ = false;

    std::atomic<bool> cancel_{false};  // ends the command in progress

    std::thread worker_;
};

}  // namespace orka
