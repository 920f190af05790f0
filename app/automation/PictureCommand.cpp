#include "PictureCommand.h"

#include "Messages.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

extern char** environ;

namespace orka {

namespace {

using Clock = std::chrono::steady_clock;

// After the command's shell has ended, its output is still read this long
// (a background child of its own may hold the pipes open).
constexpr auto kDrainAfterExit = std::chrono::seconds(1);
// Between SIGTERM and SIGKILL, and after SIGKILL before giving up the pipes.
constexpr auto kKillGrace = std::chrono::seconds(2);

std::string BaseName(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Collects the first lines of the errors, each cut to its length.
class ErrorLines {
  public:
    explicit ErrorLines(std::vector<std::string>& lines) : lines_(lines) {}
    void Feed(const char* data, size_t length) {
        for (size_t i = 0; i < length && lines_.size() < kCommandErrorLines; ++i) {
            if (data[i] == '\n') {
                lines_.push_back(std::move(current_));
                current_.clear();
            } else if (current_.size() < kCommandErrorLineLength) {
                current_ += data[i];
            }
        }
    }
    void End() {
        if (!current_.empty() && lines_.size() < kCommandErrorLines)
            lines_.push_back(std::move(current_));
        current_.clear();
    }

  private:
    std::vector<std::string>& lines_;
    std::string current_;
};

}  // namespace

namespace {

// The command could not be started, for the user.
std::string NotStarted(int error) {
    return Message(QT_TRANSLATE_NOOP("Safekeeping",
                                     "La commande après chaque image n'a pas pu être lancée : %1."),
                   {std::strerror(error)});
}

}  // namespace

std::string CommandResult::Text() const {
    const std::string name = BaseName(job.path);
    if (!error.empty())
        return error;
    if (killed)
        return Message(QT_TRANSLATE_NOOP("Safekeeping",
                                         "La commande après « %1 » a été arrêtée : elle tournait "
                                         "encore après le délai permis."),
                       {name});
    if (signal != 0)
        return Message(
            QT_TRANSLATE_NOOP("Safekeeping",
                              "La commande après « %1 » s'est terminée sur le signal %2."),
            {name, std::to_string(signal)});
    if (exitCode && *exitCode != 0) {
        const std::string code = std::to_string(*exitCode);
        if (stderrLines.empty())
            return Message(
                QT_TRANSLATE_NOOP("Safekeeping",
                                  "La commande après « %1 » a échoué (code de sortie %2)."),
                {name, code});
        return Message(
            QT_TRANSLATE_NOOP("Safekeeping",
                              "La commande après « %1 » a échoué (code de sortie %2) : %3."),
            {name, code, stderrLines.front()});
    }
    return {};
}

CommandResult RunPictureCommand(const std::string& commandLine, const CommandJob& job,
                                std::chrono::milliseconds limit, const std::atomic<bool>* cancel) {
    CommandResult result;
    result.job = job;
    const auto start = Clock::now();

    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        result.error = NotStarted(errno);
        return result;
    }
    if (::pipe2(err, O_CLOEXEC) != 0) {
        result.error = NotStarted(errno);
        ::close(out[0]);
        ::close(out[1]);
        return result;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    posix_spawn_file_actions_adddup2(&actions, err[1], 2);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    // Its own process group, so that ending it ends what it started; every
    // signal at its default and none blocked, whatever this process does.
    posix_spawnattr_setflags(
        &attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t all;
    sigfillset(&all);
    posix_spawnattr_setsigdefault(&attributes, &all);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);

    std::vector<std::string> environment;
    for (char** e = environ; e != nullptr && *e != nullptr; ++e)
        if (std::strncmp(*e, "ORKA_PICTURE=", 13) != 0 && std::strncmp(*e, "ORKA_COPY=", 10) != 0)
            environment.emplace_back(*e);
    environment.push_back("ORKA_PICTURE=" + job.path);
    environment.push_back(std::string("ORKA_COPY=") + (job.forCopy ? "1" : "0"));
    std::vector<char*> envp;
    for (std::string& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);
    std::string arg0 = "sh", arg1 = "-c", script = commandLine, name = "orka-commande",
                path = job.path;
    char* argv[] = {arg0.data(), arg1.data(), script.data(), name.data(), path.data(), nullptr};

    pid_t pid = -1;
    const int spawned = ::posix_spawn(&pid, "/bin/sh", &actions, &attributes, argv, envp.data());
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    ::close(out[1]);
    ::close(err[1]);
    if (spawned != 0) {
        ::close(out[0]);
        ::close(err[0]);
        result.error = NotStarted(spawned);
        return result;
    }
    result.started = true;
    ::fcntl(out[0], F_SETFL, O_NONBLOCK);
    ::fcntl(err[0], F_SETFL, O_NONBLOCK);

    ErrorLines errors(result.stderrLines);
    int fds[2] = {out[0], err[0]};
    bool reaped = false;
    int status = 0;
    Clock::time_point exitedAt{};
    Clock::time_point termAt{};
    bool hardKilled = false;
    const auto deadline = start + limit;
    char buffer[1 << 16];
    for (;;) {
        const auto now = Clock::now();
        if (!reaped && ::waitpid(pid, &status, WNOHANG) == pid) {
            reaped = true;
            exitedAt = now;
        }
        const bool pipesOpen = fds[0] >= 0 || fds[1] >= 0;
        if (reaped && (!pipesOpen || now - exitedAt > kDrainAfterExit))
            break;
        if (!result.killed && (now >= deadline || (cancel != nullptr && *cancel))) {
            ::kill(-pid, SIGTERM);
            result.killed = true;
            termAt = now;
        }
        if (result.killed && !hardKilled && now >= termAt + kKillGrace) {
            ::kill(-pid, SIGKILL);
            hardKilled = true;
        }
        if (hardKilled && now >= termAt + 2 * kKillGrace)
            break;
        pollfd polled[2];
        int count = 0;
        for (int fd : fds)
            if (fd >= 0)
                polled[count++] = {fd, POLLIN, 0};
        if (count == 0) {
            ::usleep(20000);
            continue;
        }
        if (::poll(polled, nfds_t(count), 50) <= 0)
            continue;
        for (int i = 0; i < count; ++i) {
            if (polled[i].revents == 0)
                continue;
            const ssize_t n = ::read(polled[i].fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0) {
                for (int& fd : fds)
                    if (fd == polled[i].fd) {
                        ::close(fd);
                        if (fd == err[0])
                            errors.End();
                        fd = -1;
                    }
                continue;
            }
            result.outputBytes += uint64_t(n);
            if (polled[i].fd == err[0])
                errors.Feed(buffer, size_t(n));
        }
    }
    for (int fd : fds)
        if (fd >= 0)
            ::close(fd);
    errors.End();
    if (!reaped) {
        while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
    }
    if (WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.duration = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start);
    return result;
}

PictureCommand::PictureCommand(std::string commandLine, Report report,
                               std::chrono::milliseconds limit)
    : commandLine_(std::move(commandLine)),
      report_(std::move(report)),
      limit_(limit),
      worker_([this] { Run(); }) {}

PictureCommand::~PictureCommand() {
    {
        std::lock_guard lock(mutex_);
        stop_ = true;
        queue_.clear();
        cancel_ = true;
        wake_.notify_all();
    }
    worker_.join();
}

void PictureCommand::Enqueue(CommandJob job) {
    std::lock_guard lock(mutex_);
    queue_.push_back(std::move(job));
    wake_.notify_all();
}

bool PictureCommand::WaitIdle(std::chrono::milliseconds limit) {
    std::unique_lock lock(mutex_);
    return idle_.wait_for(lock, limit, [&] { return queue_.empty() && !busy_; });
}

void PictureCommand::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || !queue_.empty(); });
        if (stop_)
            break;
        const CommandJob job = std::move(queue_.front());
        queue_.pop_front();
        busy_ = true;
        lock.unlock();
        const CommandResult result = RunPictureCommand(commandLine_, job, limit_, &cancel_);
        if (report_)
            report_(result);
        lock.lock();
        busy_ = false;
        if (queue_.empty())
            idle_.notify_all();
    }
    busy_ = false;
    idle_.notify_all();
}

}  // namespace orka
