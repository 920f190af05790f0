#include "scheduler.h"

namespace orkasim {

Scheduler::~Scheduler() {
    stop();
}

void Scheduler::post(Clock::duration delay, Task task) {
    std::lock_guard lock(mutex_);
    if (stopping_)
        return;
    tasks_.emplace(Clock::now() + delay, std::move(task));
    if (!thread_.joinable())
        thread_ = std::thread([this] { run(); });
    wake_.notify_one();
}

void Scheduler::clear() {
    std::lock_guard lock(mutex_);
    tasks_.clear();
}

void Scheduler::stop() {
    std::thread thread;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        tasks_.clear();
        thread.swap(thread_);
    }
    wake_.notify_all();
    if (thread.joinable())
        thread.join();
}

void Scheduler::run() {
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        if (tasks_.empty()) {
            wake_.wait(lock);
            continue;
        }
        auto first = tasks_.begin();
        const Clock::time_point due = first->first;  // the node may go while waiting
        if (Clock::now() < due) {
            wake_.wait_until(lock, due);
            continue;
        }
        Task task = std::move(first->second);
        tasks_.erase(first);
        lock.unlock();
        task();
        lock.lock();
    }
}

}  // namespace orkasim
