// What the window knew when it released the shutter, handed to the picture
// that shot made once the picture lands: the camera's status, the point it
// focused on and the moment of the release (from which the time to the
// picture on screen is counted).
#pragma once

#include <QString>

#include <array>
#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>

#include "LiveViewMath.h"
#include "fotolien.h"

namespace orka {

using ShotClock = std::chrono::steady_clock;

struct ShotRecord {
    CameraStatusData status{};
    std::array<int32_t, 2> focusPoint{CameraFrameWidth / 2, CameraFrameHeight / 2};
    ShotClock::time_point released{};
};

// The point the camera focused on, in camera frame coordinates: the focus
// frame's point when the autofocus works on a chosen point, else the centre
// of the frame (central zone, manual focus).
std::array<int32_t, 2> ShotFocusPoint(const CameraStatusData& status,
                                      std::array<int32_t, 2> framePoint);

// Pairs the releases with the pictures as they land, oldest first, one
// release per picture number: the files of one shot (a raw picture and its
// JPEG) share its record. A release whose picture never came (the capture
// failed after it was counted, the camera went) is dropped once it is older
// than kMaxWait, so that it never passes its record to a later picture; at
// most kMaxPending releases wait.
class ShotRecords {
  public:
    static constexpr auto kMaxWait = std::chrono::minutes(2);
    static constexpr size_t kMaxPending = 16;

    void Released(const ShotRecord& record);
    // The record of the picture numbered `number` (its numbered name without
    // the extension) landing at `now`; empty when no release waits for it.
    std::optional<ShotRecord> Landed(const std::string& number, ShotClock::time_point now);
    size_t Pending() const { return pending_.size(); }

  private:
    std::deque<ShotRecord> pending_;
    std::string lastNumber_;  // the number of the picture last paired
    std::optional<ShotRecord> lastRecord_;
};

// "à l'écran en 1,4 s": the time from the release to the picture on screen,
// in tenths of a second with a decimal comma.
QString OnScreenText(std::chrono::milliseconds elapsed);

}  // namespace orka
