// Command round trip: one setter after another against the in-process
// simulated camera. Prints calls per second and the latency distribution.
#include "bench_support.h"

int main() {
    using namespace orkabench;
    enterControlMode();
    constexpr int kWarmUp = 1000;
    constexpr auto kRun = std::chrono::seconds(2);
    for (int i = 0; i < kWarmUp; ++i) {
        SetFocusMode(i % 2);
    }
    std::vector<double> latencies;
    latencies.reserve(200000);
    int failures = 0;
    const auto start = Clock::now();
    while (Clock::now() - start < kRun) {
        const auto before = Clock::now();
        failures += SetFocusMode(static_cast<int32_t>(latencies.size() % 2)) != 0;
        latencies.push_back(seconds(Clock::now() - before) * 1e6);
    }
    const double elapsed = seconds(Clock::now() - start);
    leaveControlMode();

    std::printf("command round trip (SetFocusMode, simulated camera)\n");
    std::printf("  calls:        %zu in %.2f s, %d failed\n", latencies.size(), elapsed, failures);
    std::printf("  calls/s:      %.0f (target >= 20000)\n", latencies.size() / elapsed);
    std::printf("  median:       %.1f us\n", quantile(latencies, 0.5));
    std::printf("  99th pct:     %.1f us\n", quantile(latencies, 0.99));
    std::printf("  max:          %.1f us\n", quantile(latencies, 1.0));
    return failures == 0 ? 0 : 1;
}
