// A second thread that works on a picture's rows while the picture is still
// being decoded. The decoding thread says after each band how many rows are
// ready; the helper runs its work on them, in order, while the decode goes on;
// at the end of the picture the decoding thread waits until the helper has
// seen every ready row.
//
// The review of a saved picture uses it for its focus mask, clipping and
// histogram. The rows reach the helper through the caches: every line the
// decoder wrote is fetched from its core, which costs the helper about a
// quarter of the decode time, so light work stays on the decoding thread: the
// live view's analysis of a frame does.
//
// Neither side spins: a laptop on location pays every busy wait in battery.
// The helper sleeps when it has caught up and is woken only once a batch of
// rows is ready (a wake-up costs some microseconds of processor time, about
// what the decode of a preview row does), so a frame costs a few wake-ups,
// not one per band; the decoding thread sleeps in Finish until the helper is
// done.
//
// Plain C++ with no Qt, so that it is tested under ThreadSanitizer.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

namespace orka {

class BandWorker {
  public:
    // Work on rows y0..y1-1 of the picture under way.
    using Work = std::function<void(int y0, int y1)>;

    BandWorker() = default;
    ~BandWorker();  // stops the helper, even in the middle of a picture
    BandWorker(const BandWorker&) = delete;
    BandWorker& operator=(const BandWorker&) = delete;

    // Rows a sleeping helper waits for before it is woken: four bands of a
    // preview frame, about 100 KiB, which stay in the second-level cache.
    static constexpr int DefaultWakeRows = 64;

    // Begins a picture. work runs on the helper thread, in order, on the rows
    // that Ready calls make ready, possibly several bands in one call. work and
    // everything it touches must stay valid, and the ready rows unchanged,
    // until Finish returns; work must not throw. A helper that has caught up
    // sleeps until wakeRows more rows are ready (or Finish). The helper is
    // started at the first picture; when no thread can be started, work runs
    // inside Ready instead.
    void Begin(const Work& work, int wakeRows = DefaultWakeRows);
    // Rows below y are ready; y grows from one call to the next.
    void Ready(int y);
    // Waits until work has run on every ready row. When it returns the
    // helper touches nothing of the picture any more. Call once per Begin,
    // whether the picture was decoded whole or given up.
    void Finish();

    // True when the work runs on a helper thread (false before the first
    // picture, and when no thread could be started).
    bool threaded() const { return thread_.joinable(); }

  private:
    void Run();  // the helper's loop

    // The picture counters and the flags are written only with mutex_ held,
    // and notified through wakeHelper_ (to the helper) or wakeOwner_ (to
    // Finish). ready_ alone is stored without the lock, so that a band costs
    // the decoding thread no lock while the helper is awake; the helper goes
    // to sleep only with mutex_ held, after storing sleeping_ and sleptAt_,
    // and Ready, after storing ready_, takes mutex_ before it wakes a
    // sleeping helper. All are sequentially consistent: either Ready sees the
    // helper asleep or the helper's wait sees the new rows.
    std::mutex mutex_;
    std::condition_variable wakeHelper_;  // Begin, Ready, Finish, stop
    std::condition_variable wakeOwner_;   // the helper completed a picture
    std::atomic<uint64_t> picture_{0};    // pictures begun
    std::atomic<uint64_t> finished_{0};   // pictures the helper is done with
    std::atomic<int> ready_{0};           // rows ready in the picture under way
    std::atomic<bool> ending_{false};     // Finish called: no more rows come
    std::atomic<bool> stop_{false};
    std::atomic<bool> sleeping_{false};  // the helper waits for rows of the picture
    std::atomic<int> sleptAt_{0};        // rows it had done when it went to sleep
    const Work* work_ = nullptr;         // the picture's work; mutex_
    int wakeRows_ = DefaultWakeRows;     // the picture's; mutex_
    // Only the decoding thread touches these.
    bool inline_ = false;  // no helper could be started: work runs in Ready
    int inlineDone_ = 0;
    std::thread thread_;
};

}  // namespace orka
