// The camera's timer thread: runs tasks at a given time, in time order (tasks
// due at the same moment run in the order they were posted). The thread
// starts with the first task; stop() drops what is pending and joins it.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <thread>

namespace orkasim {

class Scheduler {
  public:
    using Clock = std::chrono::steady_clock;
    using Task = std::function<void()>;

    Scheduler() = default;
    ~Scheduler();
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    // Runs `task` on the timer thread once `delay` has passed. Ignored after
    // stop().
    void post(Clock::duration delay, Task task);
    // Drops every task not yet started (a running one completes).
    void clear();
    // Drops pending tasks, waits for a running one and joins the thread.
    // Must not be called from a task.
    void stop();

  private:
    void run();

    std::mutex mutex_;
    std::condition_variable wake_;
    // Guarded by mutex_: pending tasks by due time, the stop flag, the thread.
    std::multimap<Clock::time_point, Task> tasks_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace orkasim
