#include "BandWorker.h"

#include <chrono>
#include <system_error>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace orka {

namespace {

// How long either side spins on the other before it sleeps. A band of a
// preview frame decodes in about 20 us and the helper's work on it takes
// about as long, so within a picture neither side waits long; going to sleep
// and being woken costs tens of microseconds each time. Between pictures
// the helper sleeps at once.
constexpr auto kSpin = std::chrono::microseconds(200);

inline void Relax() {
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// Spins until done() holds or kSpin has passed; returns done().
template <class Done>
bool SpinUntil(const Done& done) {
    const auto end = std::chrono::steady_clock::now() + kSpin;
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done())
                return true;
            Relax();
        }
        if (std::chrono::steady_clock::now() >= end)
            return done();
    }
}

}  // namespace

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

void BandWorker::Begin(const Work& work) {
    if (!thread_.joinable() && !inline_) {
        try {
            thread_ = std::thread(&BandWorker::Run, this);
        } catch (const std::system_error&) {
            inline_ = true;
        }
    }
    std::unique_lock lock(mutex_);
    work_ = &work;
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
    {
        std::lock_guard lock(mutex_);
        ready_.store(y);
    }
    wakeHelper_.notify_one();
}

void BandWorker::Finish() {
    if (inline_ || !thread_.joinable()) {
        std::lock_guard lock(mutex_);
        work_ = nullptr;
        return;
    }
    const uint64_t picture = picture_.load();
    {
        std::lock_guard lock(mutex_);
        ending_.store(true);
    }
    wakeHelper_.notify_one();
    const auto done = [&] { return finished_.load() == picture; };
    if (!SpinUntil(done)) {
        std::unique_lock lock(mutex_);
        wakeOwner_.wait(lock, done);
    }
    std::lock_guard lock(mutex_);
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
        lock.unlock();
        int done = 0;
        const auto more = [&] { return ready_.load() > done || ending_.load() || stop_.load(); };
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
            if (!SpinUntil(more)) {
                lock.lock();
                wakeHelper_.wait(lock, more);
                lock.unlock();
            }
        }
        lock.lock();
        finished_.store(picture);
        wakeOwner_.notify_one();
    }
}

}  // namespace orka
