#include "BandWorker.h"

#include <algorithm>
#include <system_error>

namespace orka {

BandWorker::~BandWorker() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stop_.store(true);
    }
    wakeHelper_.notify_all();
    thread_.join();
}

void BandWorker::Begin(const Work& work, int wakeRows) {
    if (!thread_.joinable() && !inline_) {
        try {
            thread_ = std::thread(&BandWorker::Run, this);
        } catch (const std::system_error&) {
            inline_ = true;
        }
    }
    std::unique_lock lock(mutex_);
    work_ = &work;
    wakeRows_ = std::max(wakeRows, 1);
    if (inline_) {
        inlineDone_ = 0;
        return;
    }
    ready_.store(0);
    ending_.store(false);
    picture_.store(picture_.load() + 1);
    lock.unlock();
    wakeHelper_.notify_one();
}

void BandWorker::Ready(int y) {
    if (inline_) {
        if (work_ && y > inlineDone_) {
            (*work_)(inlineDone_, y);
            inlineDone_ = y;
        }
        return;
    }
    ready_.store(y);
    // The helper sleeps only when it has caught up; it is worth waking once
    // a batch is ready. Taking the lock waits until it really waits.
    if (sleeping_.load() && y - sleptAt_.load() >= wakeRows_) {
        { std::lock_guard lock(mutex_); }
        wakeHelper_.notify_one();
    }
}

void BandWorker::Finish() {
    std::unique_lock lock(mutex_);
    if (inline_ || !thread_.joinable()) {
        work_ = nullptr;
        return;
    }
    const uint64_t picture = picture_.load();
    ending_.store(true);
    lock.unlock();
    wakeHelper_.notify_one();
    lock.lock();
    wakeOwner_.wait(lock, [&] { return finished_.load() == picture; });
    work_ = nullptr;
}

void BandWorker::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wakeHelper_.wait(lock, [&] { return stop_.load() || picture_.load() != finished_.load(); });
        if (stop_.load())
            return;
        const uint64_t picture = picture_.load();
        const Work* work = work_;
        const int wakeRows = wakeRows_;
        lock.unlock();
        int done = 0;
        for (;;) {
            const int ready = ready_.load();
            if (ready > done) {
                (*work)(done, ready);
                done = ready;
                continue;
            }
            if (stop_.load())
                return;
            // Every Ready comes before Finish: once ending is seen, the last
            // row count is too.
            if (ending_.load()) {
                if (ready_.load() > done)
                    continue;
                break;
            }
            lock.lock();
            sleptAt_.store(done);
            sleeping_.store(true);
            wakeHelper_.wait(lock, [&] {
                return ready_.load() - done >= wakeRows || ending_.load() || stop_.load();
            });
            sleeping_.store(false);
            lock.unlock();
        }
        lock.lock();
        finished_.store(picture);
        wakeOwner_.notify_one();
    }
}

}  // namespace orka
