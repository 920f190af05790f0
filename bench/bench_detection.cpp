// Per-frame cost of the live-view analysis at 544 x 408: the histogram pass
// with the rectangle copy plus the motion measure over the whole frame, and
// each of the four frame turns. Target: analysis + detection <= 1 ms.
#include "Detection.h"
#include "Histogram.h"
#include "LiveViewMath.h"

#include <QImage>
#include <QRandomGenerator>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#ifdef ORKA_HAVE_BENCHMARK
#include <benchmark/benchmark.h>
#endif

namespace {

constexpr int kW = 544;
constexpr int kH = 408;

// A noisy scene: the worst case for the histogram (no long runs of a value).
QImage NoisyFrame(uint32_t seed) {
    QRandomGenerator rng(seed);
    QImage img(kW, kH, QImage::Format_BGR888);
    for (int y = 0; y < kH; ++y) {
        uint8_t* p = img.scanLine(y);
        for (int x = 0; x < kW * 3; ++x) {
            p[x] = uint8_t(rng.bounded(256));
        }
    }
    return img;
}

struct Frames {
    QImage frames[2] = {NoisyFrame(1), NoisyFrame(2)};
    std::vector<const uint8_t*> rows[2];
    orka::MotionDetector detector;
    orka::Histogram histogram;
    int next = 0;

    Frames() {
        for (int f = 0; f < 2; ++f) {
            for (int y = 0; y < kH; ++y) {
                rows[f].push_back(frames[f].constScanLine(y));
            }
        }
        detector.SetRectangle({0, 0, kW, kH});
    }

    int AnalyseAndDetect() {
        AnalyseFrame(rows[next].data(), kW, kH, histogram, &detector);
        next ^= 1;
        return detector.DetectMotion().measure;
    }
};

struct Turn {
    const char* name;
    orka::Orientation orientation;
};
constexpr Turn kTurns[] = {{"normal", orka::Orientation::Normal},
                           {"upside_down", orka::Orientation::UpsideDown},
                           {"anticlockwise", orka::Orientation::Anticlockwise},
                           {"clockwise", orka::Orientation::Clockwise}};

}  // namespace

#ifdef ORKA_HAVE_BENCHMARK

static void BM_AnalyseFrameAndDetectMotion(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f.AnalyseAndDetect());
    }
}
BENCHMARK(BM_AnalyseFrameAndDetectMotion)->Unit(benchmark::kMicrosecond);

static void BM_AnalyseFrameOnly(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        AnalyseFrame(f.rows[0].data(), kW, kH, f.histogram, &f.detector);
        benchmark::DoNotOptimize(f.histogram.largest);
    }
}
BENCHMARK(BM_AnalyseFrameOnly)->Unit(benchmark::kMicrosecond);

static void BM_HistogramWithoutRectangle(benchmark::State& state) {
    Frames f;
    for (auto _ : state) {
        AnalyseFrame(f.rows[0].data(), kW, kH, f.histogram, nullptr);
        benchmark::DoNotOptimize(f.histogram.largest);
    }
}
BENCHMARK(BM_HistogramWithoutRectangle)->Unit(benchmark::kMicrosecond);

static void BM_TurnFrame(benchmark::State& state) {
    const Turn& turn = kTurns[state.range(0)];
    state.SetLabel(turn.name);
    const QImage src = NoisyFrame(3);
    QImage dst;
    for (auto _ : state) {
        orka::TurnFrame(turn.orientation, src, dst);
        benchmark::DoNotOptimize(dst.constBits());
    }
}
BENCHMARK(BM_TurnFrame)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();

#else

// Median of n timed runs of fn, in microseconds.
template <typename Fn>
static double MedianMicros(int n, Fn&& fn) {
    std::vector<double> t;
    t.reserve(size_t(n));
    for (int i = 0; i < n; ++i) {
        const auto start = std::chrono::steady_clock::now();
        fn();
        t.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(t.begin(), t.begin() + n / 2, t.end());
    return t[size_t(n / 2)];
}

int main() {
    Frames f;
    volatile int sink = 0;
    std::printf("AnalyseFrame + DetectMotion, 544 x 408, whole-frame rectangle: %.1f us\n",
                MedianMicros(2000, [&] { sink = f.AnalyseAndDetect(); }));
    const QImage src = NoisyFrame(3);
    QImage dst;
    for (const Turn& turn : kTurns) {
        std::printf("TurnFrame %-13s 544 x 408: %.1f us\n", turn.name,
                    MedianMicros(2000, [&] { orka::TurnFrame(turn.orientation, src, dst); }));
    }
    (void)sink;
    return 0;
}

#endif
