// The live view's helper thread. These run in the sanitizer builds too: the
// row handover is what ThreadSanitizer is to check.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <thread>
#include <vector>

#include "BandWorker.h"

using orka::BandWorker;

namespace {

// A picture of rows the decoding side fills before it makes them ready; the
// work checks each row it is given and records the ranges.
struct Picture {
    std::vector<int> rows;
    std::vector<std::pair<int, int>> calls;
    int wrong = 0;
    explicit Picture(int h) : rows(size_t(h), -1) {}
    BandWorker::Work Work(std::chrono::microseconds pause = {}) {
        return [this, pause](int y0, int y1) {
            calls.emplace_back(y0, y1);
            for (int y = y0; y < y1; ++y)
                wrong += rows[size_t(y)] != y;
            if (pause.count() > 0)
                std::this_thread::sleep_for(pause);
        };
    }
    // The ranges worked on, joined: [0, n) once each, in order, or -1.
    int Covered() const {
        int next = 0;
        for (const auto& [y0, y1] : calls) {
            if (y0 != next || y1 <= y0)
                return -1;
            next = y1;
        }
        return next;
    }
};

}  // namespace

// Every ready row is worked on once, in order, after it was written and
// before Finish returns; the same worker serves picture after picture, with
// bands of every size, and pictures given up part way or before any row.
TEST(BandWorker, EveryReadyRowOnceInOrderBeforeFinish) {
    BandWorker worker;
    for (int n = 0; n < 300; ++n) {
        const int h = 1 + (n * 37) % 200;
        const int step = 1 + n % 17;
        const int last = n % 5 == 0 ? h / 2 : h;  // every fifth picture given up half way
        Picture picture(h);
        const BandWorker::Work work = picture.Work();
        worker.Begin(work);
        for (int y = 0; y < last;) {
            const int end = std::min(last, y + step);
            for (; y < end; ++y)
                picture.rows[size_t(y)] = y;
            worker.Ready(end);
        }
        worker.Finish();
        ASSERT_EQ(picture.Covered(), last) << "picture " << n;
        ASSERT_EQ(picture.wrong, 0) << "picture " << n;
    }
    EXPECT_TRUE(worker.threaded());
}

// Waits longer than either side spins: a slow work makes Finish sleep, a slow
// decode makes the helper sleep between bands; neither loses a row.
TEST(BandWorker, SleepingSidesAreWokenAgain) {
    BandWorker worker;
    for (const bool slowWork : {true, false}) {
        Picture picture(64);
        const BandWorker::Work work =
            picture.Work(slowWork ? std::chrono::milliseconds(2) : std::chrono::microseconds(0));
        worker.Begin(work);
        for (int y = 0; y < 64; y += 16) {
            for (int r = y; r < y + 16; ++r)
                picture.rows[size_t(r)] = r;
            worker.Ready(y + 16);
            if (!slowWork)
                std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        worker.Finish();
        EXPECT_EQ(picture.Covered(), 64);
        EXPECT_EQ(picture.wrong, 0);
    }
}

// A helper that has caught up sleeps instead of spinning, and is woken for a
// batch of rows, not for every band: a slow decode of one row at a time costs
// next to no processor time and the rows reach the work in one or two calls.
TEST(BandWorker, WaitsAsleepAndIsWokenForABatch) {
    const auto cpuMs = [] {
        timespec t{};
        clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
        return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
    };
    BandWorker worker;
    constexpr int kRows = 40;  // fewer than a batch
    Picture picture(kRows);
    const BandWorker::Work work = picture.Work();
    worker.Begin(work);
    const double cpu0 = cpuMs();
    for (int y = 0; y < kRows; ++y) {
        picture.rows[size_t(y)] = y;
        worker.Ready(y + 1);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    const double cpu = cpuMs() - cpu0;
    worker.Finish();
    EXPECT_EQ(picture.Covered(), kRows);
    EXPECT_EQ(picture.wrong, 0);
    EXPECT_LE(picture.calls.size(), 2u);
    // A spinning helper would use about the 80 ms; forty sleeps and a wake-up
    // take a few, more on a loaded machine (3.7 ms was seen in a full run).
    EXPECT_LT(cpu, 20.0) << "ms of processor time over 80 ms of waiting";
}

// A worker destroyed in the middle of a picture stops without waiting for
// rows that will never come; one never used starts no thread.
TEST(BandWorker, StopsInTheMiddleOfAPictureAndStartsOnlyWhenUsed) {
    Picture picture(32);
    const BandWorker::Work work = picture.Work();
    {
        BandWorker worker;
        worker.Begin(work);
        for (int y = 0; y < 16; ++y)
            picture.rows[size_t(y)] = y;
        worker.Ready(16);
    }
    EXPECT_EQ(picture.wrong, 0);
    BandWorker unused;
    EXPECT_FALSE(unused.threaded());
    unused.Finish();  // a Finish without a picture returns at once
}
