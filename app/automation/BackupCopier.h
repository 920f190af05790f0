// The verified second copy: a worker thread copies each saved file into the
// backup folder, reads the copy back and compares it with the picture.
//
//  - Never overwrites: a copy is written under a hidden temporary name and
//    then linked to its final name, which fails if that name is taken. The
//    copy keeps the picture's name; when the name is taken by another file,
//    the numbering rule of the library (prefix + next free number) gives the
//    next free one, and the other files of that number (".thm", ".qrw" of the
//    same shot) follow it to the same new number. A name taken by an
//    identical file (a copy made before a crash) counts as the copy.
//  - A folder that is missing, unplugged, read-only or full keeps the copy
//    owed: it is retried after a pause, and at once when RetryNow is called
//    or a new file comes. A picture gone from its folder, or a copy that
//    never reads back the same, is given up (Failed) with a French reason.
//  - Enqueue never blocks on the disk: the caller only takes the queue's lock.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace orka {

enum class CopyOutcome { Verified, Owed, Failed, Cancelled };

struct BackupJob {
    std::string source;  // the picture's path
    std::string sha256;  // its digest when saved (empty: not known)
};

struct BackupReport {
    BackupJob job;
    CopyOutcome outcome = CopyOutcome::Owed;
    std::string copy;  // Verified: the copy's path
    uint64_t size = 0;
    std::string sha256;  // Verified: the copy as read back
    std::string reason;  // French
    // Owed: the first time this job is reported owed (later retries that
    // fail for the same reason are not reported again).
    bool firstOwed = false;
};

class BackupCopier {
  public:
    // Called on the worker thread, outside every lock of the copier.
    using Report = std::function<void(const BackupReport&)>;

    struct Options {
        std::chrono::milliseconds retryPause{5000};
        int verifyAttempts = 3;  // copies made before a mismatch is given up
    };

    BackupCopier(std::string folder, std::string prefix, Report report);
    BackupCopier(std::string folder, std::string prefix, Report report, Options options);
    // Stops after the copy in progress; jobs not done stay owed (Owed()).
    ~BackupCopier();
    BackupCopier(const BackupCopier&) = delete;
    BackupCopier& operator=(const BackupCopier&) = delete;

    const std::string& Folder() const { return folder_; }

    void Enqueue(BackupJob job);
    // Tries the owed copies now instead of after the pause.
    void RetryNow();
    // Waits until every job is done or owed and waiting for a retry; false
    // when `limit` passed first.
    bool WaitIdle(std::chrono::milliseconds limit);
    // The jobs not done (queued, in progress or owed), oldest first.
    std::vector<BackupJob> Pending() const;
    // Stops the worker and gives back the jobs not done, which are reported
    // Cancelled when `cancel` is set.
    std::vector<BackupJob> Stop(bool cancel = false);

  private:
    void Run();
    BackupReport Copy(const BackupJob& job);
    std::string CopyName(const std::string& source);

    const std::string folder_;
    const std::string prefix_;
    const Report report_;
    const Options options_;

    mutable std::mutex mutex_;
    // Guarded by mutex_:
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::deque<BackupJob> queue_;            // to try now
    std::vector<BackupJob> waiting_;         // owed, tried again after the pause
    std::vector<std::string> reportedOwed_;  // sources already reported owed
    bool busy_ = false;                      // the worker holds a job
    BackupJob current_;                      // that job
    bool stop_ = false;
    bool retry_ = false;

    // Worker thread only: the number each group of source files (folder +
    // prefix + number) took in the backup folder when its own was taken.
    std::map<std::string, std::string> renumbered_;

    std::thread worker_;
};

// The next free number of `prefix` among `names`, by the library's rule:
// the largest five-digit number + 1 ("00013"), or past 99999 the "99999~N"
// form.
std::string NextFreeNumber(const std::vector<std::string>& names, const std::string& prefix);

}  // namespace orka
