#include "BackupCopier.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "FileDigest.h"
#include "Messages.h"
#include "SessionPictures.h"

namespace orka {

namespace {

constexpr char kTempPattern[] = ".PCOrka-copie-XXXXXX";
constexpr std::string_view kPartialMark = ".partiel";

std::string Join(const std::string& directory, const std::string& name) {
    if (directory.empty() || directory.back() == '/')
        return directory + name;
    return directory + '/' + name;
}

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string DirName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

// A picture that cannot be read for its copy, for the user.
std::string UnreadablePicture(const std::string& name, int error) {
    return Message(QT_TRANSLATE_NOOP("Safekeeping",
                                     "L'image « %1 » ne peut pas être lue (%2) : sa copie attend."),
                   {name, std::strerror(error)});
}

// Why the backup folder cannot take a copy, for the user.
std::string FolderReason(const std::string& folder, int error) {
    const auto say = [&folder](const char* text) { return Message(text, {folder}); };
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ENODEV:
        case ENXIO:
        case ESTALE:
            return say(QT_TRANSLATE_NOOP("Safekeeping",
                                         "Le dossier de sauvegarde « %1 » est absent (support "
                                         "débranché ?) : les copies attendent son retour."));
        case EROFS:
            return say(QT_TRANSLATE_NOOP(
                "Safekeeping",
                "Le dossier de sauvegarde « %1 » est en lecture seule : les copies attendent."));
        case EACCES:
        case EPERM:
            return say(QT_TRANSLATE_NOOP("Safekeeping",
                                         "Le dossier de sauvegarde « %1 » refuse l'écriture "
                                         "(droits insuffisants) : les copies attendent."));
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
            return say(QT_TRANSLATE_NOOP(
                "Safekeeping",
                "Le dossier de sauvegarde « %1 » est plein : les copies attendent de la place."));
        case EIO:
            return say(QT_TRANSLATE_NOOP("Safekeeping",
                                         "Le dossier de sauvegarde « %1 » a une erreur d'écriture "
                                         "(support défectueux ?) : les copies attendent."));
        default:
            return Message(QT_TRANSLATE_NOOP("Safekeeping",
                                             "Le dossier de sauvegarde « %1 » ne prend pas la "
                                             "copie (%2) : les copies attendent."),
                           {folder, std::strerror(error)});
    }
}

bool WriteAll(int fd, const unsigned char* data, size_t length, int& error) {
    while (length > 0) {
        const ssize_t n = ::write(fd, data, length);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            error = n < 0 ? errno : ENOSPC;
            return false;
        }
        data += n;
        length -= size_t(n);
    }
    return true;
}

void SyncDirectory(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

enum class Placed { Done, Exists, Failed };

// Gives the temporary file its final name, never replacing a file: a hard
// link where the filesystem has them, else an exchange-free rename.
Placed PlaceCopy(const std::string& temp, const std::string& final, int& error) {
    if (::link(temp.c_str(), final.c_str()) == 0) {
        ::unlink(temp.c_str());
        return Placed::Done;
    }
    error = errno;
    if (error == EEXIST)
        return Placed::Exists;
    if (error != EPERM && error != EOPNOTSUPP && error != EMLINK && error != ENOSYS)
        return Placed::Failed;
    // Without hard links (FAT, exFAT drives): a rename that refuses to replace.
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, final.c_str(), RENAME_NOREPLACE) == 0)
        return Placed::Done;
    error = errno;
    if (error == EEXIST)
        return Placed::Exists;
    if (error != EINVAL && error != ENOSYS)
        return Placed::Failed;
    // A filesystem that knows neither: look, then rename (a file appearing in
    // between by another hand is the only one this could replace).
    if (::access(final.c_str(), F_OK) == 0)
        return Placed::Exists;
    if (::rename(temp.c_str(), final.c_str()) == 0)
        return Placed::Done;
    error = errno;
    return Placed::Failed;
}

std::vector<std::string> ListNames(const std::string& folder) {
    return SessionPictures::ListFolderOnDisk(folder);
}

}  // namespace

std::string NextFreeNumber(const std::vector<std::string>& names, const std::string& prefix) {
    long largest = 0;
    long largestExtended = 0;
    for (const std::string& name : names) {
        const auto parts = ParseNumberedName(name, prefix);
        if (!parts)
            continue;
        if (parts->number.size() == 5) {
            largest = std::max(largest, std::stol(parts->number));
        } else {
            largest = 99999;
            const std::string n = parts->number.substr(6);
            largestExtended = std::max(largestExtended, n.size() > 9 ? 999999999L : std::stol(n));
        }
    }
    if (largest < 99999) {
        std::string text = std::to_string(largest + 1);
        return std::string(5 - text.size(), '0') + text;
    }
    return "99999~" + std::to_string(largestExtended + 1);
}

BackupCopier::BackupCopier(std::string folder, std::string prefix, Report report)
    : BackupCopier(std::move(folder), std::move(prefix), std::move(report), Options()) {}

BackupCopier::BackupCopier(std::string folder, std::string prefix, Report report, Options options)
    : folder_(std::move(folder)),
      prefix_(std::move(prefix)),
      report_(std::move(report)),
      options_(options),
      worker_([this] { Run(); }) {}

BackupCopier::~BackupCopier() {
    Stop();
}

void BackupCopier::Enqueue(BackupJob job) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(job));
    wake_.notify_all();
}

void BackupCopier::RetryNow() {
    std::lock_guard lock(mutex_);
    retry_ = true;
    wake_.notify_all();
}

bool BackupCopier::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, limit, [&] { return (queue_.empty() && !busy_) || stop_; });
}

std::vector<BackupJob> BackupCopier::Pending() const {
    std::lock_guard lock(mutex_);
    std::vector<BackupJob> jobs;
    if (busy_)
        jobs.push_back(current_);
    jobs.insert(jobs.end(), queue_.begin(), queue_.end());
    jobs.insert(jobs.end(), waiting_.begin(), waiting_.end());
    return jobs;
}

std::vector<BackupJob> BackupCopier::Stop(bool cancel) {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        wake_.notify_all();
        idle_.notify_all();
    }
    if (worker_.joinable())
        worker_.join();
    std::vector<BackupJob> jobs;
    {
        std::lock_guard lock(mutex_);
        jobs.assign(queue_.begin(), queue_.end());
        jobs.insert(jobs.end(), waiting_.begin(), waiting_.end());
        queue_.clear();
        waiting_.clear();
    }
    if (cancel && report_)
        for (const BackupJob& job : jobs)
            report_({job,
                     CopyOutcome::Cancelled,
                     {},
                     0,
                     {},
                     Message(QT_TRANSLATE_NOOP("Safekeeping", "copie de sécurité désactivée")),
                     false});
    return jobs;
}

void BackupCopier::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        if (queue_.empty()) {
            idle_.notify_all();
            if (waiting_.empty()) {
                wake_.wait(lock, [&] { return stop_ || !queue_.empty() || retry_; });
            } else {
                wake_.wait_for(lock, options_.retryPause,
                               [&] { return stop_ || !queue_.empty() || retry_; });
                // The pause ended, or a retry was asked for: the owed copies
                // go back in line (after any new file).
                if (!stop_ && (queue_.empty() || retry_)) {
                    queue_.insert(queue_.end(), waiting_.begin(), waiting_.end());
                    waiting_.clear();
                }
            }
            retry_ = false;
            if (stop_)
                return;
            continue;
        }
        if (stop_)
            return;
        current_ = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        const BackupJob job = current_;
        lock.unlock();
        BackupReport report = Copy(job);
        lock.lock();
        busy_ = false;
        auto seen = std::find(reportedOwed_.begin(), reportedOwed_.end(), job.source);
        if (report.outcome == CopyOutcome::Owed) {
            report.firstOwed = seen == reportedOwed_.end();
            if (report.firstOwed)
                reportedOwed_.push_back(job.source);
            waiting_.push_back(job);
        } else {
            if (seen != reportedOwed_.end())
                reportedOwed_.erase(seen);
            // The folder takes copies again: the owed ones need no pause.
            if (report.outcome == CopyOutcome::Verified && !waiting_.empty()) {
                queue_.insert(queue_.end(), waiting_.begin(), waiting_.end());
                waiting_.clear();
            }
        }
        if (report_ && (report.outcome != CopyOutcome::Owed || report.firstOwed)) {
            lock.unlock();
            report_(report);
            lock.lock();
        }
    }
}

std::string BackupCopier::CopyName(const std::string& source) {
    const std::string name = BaseName(source);
    const auto parts = ParseNumberedName(name, prefix_);
    if (!parts)
        return name;
    const auto it = renumbered_.find(Join(DirName(source), prefix_ + parts->number));
    if (it == renumbered_.end())
        return name;
    return prefix_ + it->second + (parts->partial ? std::string(kPartialMark) : "") +
           parts->extension;
}

BackupReport BackupCopier::Copy(const BackupJob& job) {
    BackupReport report;
    report.job = job;
    const std::string name = BaseName(job.source);
    const auto owed = [&](int error) {
        report.outcome = CopyOutcome::Owed;
        report.reason = FolderReason(folder_, error);
        return report;
    };

    struct stat folderStat {};
    if (::stat(folder_.c_str(), &folderStat) != 0)
        return owed(errno);
    if (!S_ISDIR(folderStat.st_mode))
        return owed(ENOTDIR);

    for (int attempt = 1;; ++attempt) {
        const int source = ::open(job.source.c_str(), O_RDONLY | O_CLOEXEC);
        if (source < 0) {
            const int error = errno;
            report.outcome = error == ENOENT ? CopyOutcome::Failed : CopyOutcome::Owed;
            report.reason =
                error == ENOENT
                    ? Message(QT_TRANSLATE_NOOP("Safekeeping",
                                                "L'image « %1 » a disparu de son dossier avant "
                                                "sa copie de sécurité."),
                              {name})
                    : UnreadablePicture(name, error);
            return report;
        }
        std::string temp = Join(folder_, kTempPattern);
        const int copy = ::mkostemp(temp.data(), O_CLOEXEC);
        if (copy < 0) {
            const int error = errno;
            ::close(source);
            return owed(error);
        }
        ::fchmod(copy, 0644);
        Sha256 hash;
        uint64_t size = 0;
        int error = 0;
        bool readFailed = false;
        std::vector<unsigned char> buffer(1 << 16);
        for (;;) {
            const ssize_t got = ::read(source, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got < 0) {
                error = errno;
                readFailed = true;
                break;
            }
            if (got == 0)
                break;
            hash.Update(buffer.data(), size_t(got));
            size += uint64_t(got);
            if (!WriteAll(copy, buffer.data(), size_t(got), error))
                break;
        }
        ::close(source);
        if (error == 0 && ::fdatasync(copy) != 0)
            error = errno;
        // The read-back below must come from the medium, not from memory.
        ::posix_fadvise(copy, 0, 0, POSIX_FADV_DONTNEED);
        if (::close(copy) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            ::unlink(temp.c_str());
            if (readFailed) {
                report.outcome = CopyOutcome::Owed;
                report.reason = UnreadablePicture(name, error);
                return report;
            }
            return owed(error);
        }
        const std::string sourceHash = hash.FinishHex();
        int readError = 0;
        const std::optional<FileDigest> back = DigestFile(temp, &readError);
        if (!back || back->sha256 != sourceHash || back->size != size) {
            ::unlink(temp.c_str());
            if (!back)
                return owed(readError);
            if (attempt < options_.verifyAttempts)
                continue;
            report.outcome = CopyOutcome::Failed;
            report.reason = Message(QT_TRANSLATE_NOOP("Safekeeping",
                                                      "La copie de « %1 » relue ne correspond "
                                                      "pas à l'image (support de sauvegarde "
                                                      "défectueux ?)."),
                                    {name});
            return report;
        }

        // The name: the picture's own, else the next free number for the
        // files of its number.
        std::string copyName = CopyName(job.source);
        for (int tries = 0; tries < 1000; ++tries) {
            const std::string final = Join(folder_, copyName);
            const Placed placed = PlaceCopy(temp, final, error);
            if (placed == Placed::Done) {
                SyncDirectory(folder_);
                report.outcome = CopyOutcome::Verified;
                report.copy = final;
                report.size = size;
                report.sha256 = back->sha256;
                return report;
            }
            if (placed == Placed::Failed) {
                ::unlink(temp.c_str());
                return owed(error);
            }
            // Taken: by this very copy, made before (kept), or by another
            // file (a new name).
            const std::optional<FileDigest> there = DigestFile(final);
            if (there && there->sha256 == sourceHash && there->size == size) {
                ::unlink(temp.c_str());
                report.outcome = CopyOutcome::Verified;
                report.copy = final;
                report.size = size;
                report.sha256 = there->sha256;
                return report;
            }
            const auto parts = ParseNumberedName(copyName, prefix_);
            if (parts) {
                const std::string number = NextFreeNumber(ListNames(folder_), prefix_);
                const auto original = ParseNumberedName(name, prefix_);
                renumbered_[Join(DirName(job.source), prefix_ + original->number)] = number;
                copyName = CopyName(job.source);
            } else {
                const size_t dot = name.rfind('.');
                const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
                const std::string extension = dot == std::string::npos ? "" : name.substr(dot);
                copyName = stem + "~" + std::to_string(tries + 2) + extension;
            }
        }
        ::unlink(temp.c_str());
        return owed(EEXIST);
    }
}

}  // namespace orka
