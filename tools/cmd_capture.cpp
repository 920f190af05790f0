// orkactl capture: shoot, wait for every file, print each saved path.
#include <dirent.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <set>
#include <thread>

#include "camera_session.h"
#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

namespace {

// A file still on its way after this long without progress is given up.
constexpr auto kFileIdleLimit = std::chrono::seconds(60);
// The centre of the camera's frame, where the half press focuses.
constexpr int32_t kFrameCentre[2] = {1632, 1224};

std::set<std::string> namesIn(const std::string& directory, const std::string& prefix) {
    std::set<std::string> names;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (const dirent* entry = ::readdir(dir)) {
            const std::string name = entry->d_name;
            if (name.compare(0, prefix.size(), prefix) == 0) {
                names.insert(name);
            }
        }
        ::closedir(dir);
    }
    return names;
}

std::string joinPath(const std::string& directory, const std::string& name) {
    return directory.empty() || directory.back() == '/' ? directory + name : directory + "/" + name;
}

// Reports each file the library saves: from the saved-file record while
// waiting, and from the target folder's listing for any that came between
// two looks.
class FileReporter {
  public:
    FileReporter(std::string directory, std::string prefix, std::string hook)
        : directory_(std::move(directory)),
          prefix_(std::move(prefix)),
          hook_(std::move(hook)),
          before_(namesIn(directory_, prefix_)) {}

    void poll() {
        SavedFileInfo info;
        if (GetSavedFileInfo(&info) != 0 || info.fileName[0] == '\0') {
            return;
        }
        const std::string path = joinPath(info.directory, info.fileName);
        if (path != lastSeen_) {
            lastSeen_ = path;
            report(path);
        }
    }

    void sweep() {
        for (const std::string& name : namesIn(directory_, prefix_)) {
            if (before_.count(name) == 0) {
                report(joinPath(directory_, name));
            }
        }
    }

    bool hookFailed() const { return hookFailed_; }

  private:
    void report(const std::string& path) {
        if (!reported_.insert(path).second) {
            return;
        }
        std::printf("%s\n", path.c_str());
        std::fflush(stdout);
        if (!hook_.empty()) {
            runHook(path);
        }
    }

    // CMD runs through the shell with the path as its last argument.
    void runHook(const std::string& path) {
        const std::string script = hook_ + " \"$1\"";
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl("/bin/sh", "sh", "-c", script.c_str(), "orkactl-hook", path.c_str(),
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) < 0 || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            fail("the hook failed for " + path);
            hookFailed_ = true;
        }
    }

    std::string directory_;
    std::string prefix_;
    std::string hook_;
    std::set<std::string> before_;
    std::set<std::string> reported_;
    std::string lastSeen_;
    bool hookFailed_ = false;
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

}  // namespace

int runCapture(const std::vector<std::string>& args) {
    const auto options = Options::parse(args, {"count", "interval", "dir", "prefix", "hook"});
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
    if (const std::string reason = makeDirectories(directory); !reason.empty()) {
        fail("cannot create the folder " + reason);
        return kUsage;
    }
    if (SetSaveFileInformation(directory.c_str(), prefix.c_str()) != 0) {
        fail("the folder or prefix is too long, or the prefix holds a '/'");
        return kUsage;
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
    FileReporter reporter(directory, prefix, options->text("hook", ""));
    const auto start = std::chrono::steady_clock::now();
    for (long i = 0; i < *count; ++i) {
        std::this_thread::sleep_until(start + std::chrono::duration_cast<std::chrono::nanoseconds>(
                                                  std::chrono::duration<double>(*interval * i)));
        if (const int rc = shoot(); rc != kDone) {
            return rc;
        }
        if (!session.waitForFiles(kFileIdleLimit, [&] { reporter.poll(); })) {
            reporter.sweep();
            return kOperationFailed;
        }
        reporter.poll();
        reporter.sweep();
    }
    return reporter.hookFailed() ? kOperationFailed : kDone;
}

}  // namespace orkactl
