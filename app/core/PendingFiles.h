// Waiting for the camera's pending files before leaving PC-control mode.
//
// The wait goes on as long as the count of files still expected keeps
// falling. When it has not fallen for `patience`, the user is asked whether
// to keep waiting (for another `patience`) or to stop waiting; a file is
// therefore never given up without the user's say. The user may also cancel
// the wait during any pause (`cancelled`).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace orka {

struct PendingFilesWait {
    using Clock = std::chrono::steady_clock;

    std::function<int32_t()> count;  // files still expected; <= 0: none
    std::function<void()> pause;     // the pause between two counts
    std::function<Clock::time_point()> now = [] { return Clock::now(); };
    std::function<bool(int32_t count)> keepWaiting;  // the user's answer
    std::function<bool()> cancelled;                 // asked after each pause; may be empty
    Clock::duration patience = std::chrono::seconds(30);

    // True when the count reached 0, false when the user stopped waiting or
    // cancelled the wait.
    bool run() const;
};

}  // namespace orka
