// The camera opened and in PC-control mode for the life of one object, and
// closed the way the camera expects: after its pending files.
#pragma once

#include <chrono>
#include <functional>

namespace orkactl {

class CameraSession {
  public:
    CameraSession() = default;
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;
    ~CameraSession();

    // Opens the camera and enters PC-control mode (four attempts, one second
    // apart). kDone, or the exit code of the failure (already reported).
    int open();

    // Waits until the camera has sent every file it owes, giving up after
    // `idle` without progress or when the camera goes. `onPoll` runs at
    // every look. False (reported) on giving up.
    bool waitForFiles(std::chrono::seconds idle, const std::function<void()>& onPoll = {});

  private:
    bool opened_ = false;
    bool controlMode_ = false;
};

}  // namespace orkactl
