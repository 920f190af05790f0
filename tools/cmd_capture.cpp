// orkactl capture: shoot, wait for every file, print each saved path; the
// same safekeeping as the window: journal in the picture folder, optional
// verified backup copy, optional command after each picture.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <thread>

#include "Safekeeping.h"
#include "SessionPictures.h"
#include "camera_session.h"
#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

namespace {

// A file still on its way after this long without progress is given up.
constexpr auto kFileIdleLimit = std::chrono::seconds(60);
// The centre of the camera's frame, where the half press focuses.
constexpr int32_t kFrameCentre[2] = {1632, 1224};

// How long, at the end, the backup copies and the commands may still take.
constexpr auto kSafekeepingWait = std::chrono::minutes(5);

// Prints each file the library saves, once, and hands it to the safekeeping
// (journal, backup copy, command after each picture).
class FileReporter {
  public:
    FileReporter(orka::SessionPictures& pictures, orka::Safekeeping& keep)
        : pictures_(pictures), keep_(keep) {}

    void poll() {
        SavedFileInfo info;
        if (GetSavedFileInfo(&info) == 0) {
            report(pictures_.Note(info));
        }
    }
    void sweep() { report(pictures_.Sweep()); }

  private:
    void report(const std::vector<orka::SavedFile>& files) {
        for (const orka::SavedFile& file : files) {
            std::printf("%s\n", file.path.c_str());
        }
        std::fflush(stdout);
        keep_.FilesSaved(files);
    }

    orka::SessionPictures& pictures_;
    orka::Safekeeping& keep_;
};

std::string currentDirectory() {
    char buffer[4096];
    return ::getcwd(buffer, sizeof buffer) != nullptr ? buffer : ".";
}

bool isDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// Creates `path` and any missing parent, as mkdir -p does. On failure returns
// the reason (errno's text) for the first level that could not be made.
std::string makeDirectories(const std::string& path) {
    size_t from = 0;
    while (from <= path.size()) {
        size_t slash = path.find('/', from);
        if (slash == std::string::npos)
            slash = path.size();
        const std::string prefix = path.substr(0, slash);
        from = slash + 1;
        if (prefix.empty() || isDirectory(prefix))
            continue;
        if (::mkdir(prefix.c_str(), 0777) != 0 && !(errno == EEXIST && isDirectory(prefix)))
            return prefix + ": " + std::strerror(errno);
    }
    return isDirectory(path) ? std::string() : path + ": " + std::strerror(ENOTDIR);
}

// One picture: half press, release, end of capture, release of the button.
int shoot() {
    int32_t point[2] = {kFrameCentre[0], kFrameCentre[1]};
    const bool pressed = S1On(point) == 0;
    if (!pressed) {
        fail("not in focus; shooting anyway");
    }
    const bool shot = CaptureImage(0) == 0;
    if (shot && TerminateCaptureImage() != 0) {
        fail("the camera did not end the capture");
        return kOperationFailed;
    }
    S1Off();
    if (!shot) {
        fail("the camera did not take the picture");
        return kOperationFailed;
    }
    return kDone;
}

// Prints where the copies stand; true when none is owed or failed.
bool reportSafekeeping(const orka::Safekeeping& keep, bool backup) {
    const orka::SafekeepingView view = keep.View();
    if (!view.journalText.empty()) {
        fail(view.journalText);
    }
    if (view.commandFailures > 0) {
        fail(std::to_string(view.commandFailures) +
             " run(s) of the hook failed; the last: " + view.commandText);
    }
    if (!backup) {
        return view.commandFailures == 0;
    }
    std::fprintf(stderr, "orkactl: backup: %llu copied and verified, %llu owed, %llu failed\n",
                 static_cast<unsigned long long>(view.savedTwice),
                 static_cast<unsigned long long>(view.owed),
                 static_cast<unsigned long long>(view.failed));
    for (const orka::FileState& file : view.files) {
        if (file.mark == orka::FileMark::Owed || file.mark == orka::FileMark::Failed) {
            fail((file.mark == orka::FileMark::Owed ? "copy owed: " : "copy failed: ") + file.path +
                 (file.reason.empty() ? "" : " (" + file.reason + ")"));
        }
    }
    return view.commandFailures == 0 && view.owed == 0 && view.failed == 0;
}

}  // namespace

int runCapture(const std::vector<std::string>& args) {
    const auto options =
        Options::parse(args, {"count", "interval", "dir", "prefix", "hook", "backup"});
    if (!options) {
        return kUsage;
    }
    const auto count = options->integer("count", 1, 1, 1000000);
    const auto interval = options->real("interval", 0, 0, 86400);
    if (!count || !interval) {
        return kUsage;
    }
    const std::string directory = options->text("dir", currentDirectory());
    const std::string prefix = options->text("prefix", "P");
    const std::string backup = options->text("backup", "");
    if (const std::string reason = makeDirectories(directory); !reason.empty()) {
        fail("cannot create the folder " + reason);
        return kUsage;
    }
    if (SetSaveFileInformation(directory.c_str(), prefix.c_str()) != 0) {
        fail("the folder or prefix is too long, or the prefix holds a '/'");
        return kUsage;
    }
    // A backup folder that cannot be made now (a drive not plugged in) is
    // not fatal: its copies stay owed, and the exit status says so.
    if (!backup.empty()) {
        if (const std::string reason = makeDirectories(backup); !reason.empty()) {
            fail("cannot create the backup folder " + reason + "; its copies stay owed");
        }
    }

    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    // Pictures are kept without stopping for the after-view review.
    if (SetDisplayAfterView(0) != 0) {
        fail("could not turn the after-view review off");
        return kOperationFailed;
    }

    orka::SessionPictures pictures;
    pictures.SetTarget(directory, prefix);
    orka::SafekeepingSettings settings;
    settings.program = "orkactl";
    settings.folder = directory;
    settings.prefix = prefix;
    settings.backupFolder = backup;
    // The hook has always had the saved path appended as its last argument.
    if (const std::string hook = options->text("hook", ""); !hook.empty()) {
        settings.command = hook + " \"$1\"";
    }
    orka::Safekeeping keep(settings);
    FileReporter reporter(pictures, keep);

    // Ends the session: every file reported, the copies and commands given
    // their time, the journal closed.
    const auto finish = [&](int rc) {
        reporter.poll();
        reporter.sweep();
        keep.WaitIdle(kSafekeepingWait);
        const bool safe = reportSafekeeping(keep, !backup.empty());
        keep.Close(std::chrono::seconds(0));
        return rc == kDone && !safe ? kOperationFailed : rc;
    };

    CameraStatusData status{};
    GetCameraStatusData(&status);
    if (*count > 1) {
        if (const orka::SpaceCheck run = keep.CheckRun(status, *count); !run.message.empty()) {
            fail(run.message);
        }
    }
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < *count; ++i) {
        std::this_thread::sleep_until(start + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(*interval * i)));
        GetCameraStatusData(&status);
        if (const orka::SpaceCheck shot = keep.CheckShot(status); !shot.allowed) {
            fail(shot.message);
            return finish(kOperationFailed);
        }
        keep.ShotAsked(*count > 1 ? "intervalometer" : "unique", status);
        if (const int rc = shoot(); rc != kDone) {
            return finish(rc);
        }
        if (!session.waitForFiles(kFileIdleLimit, [&] { reporter.poll(); })) {
            return finish(kOperationFailed);
        }
        reporter.poll();
        reporter.sweep();
    }
    return finish(kDone);
}

}  // namespace orkactl
