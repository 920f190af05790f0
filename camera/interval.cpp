// Interval-capture mode and the camera clock.
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"

namespace fotolien {

namespace {

int setIntervalMode(bool on) {
    CommandOptions options;
    options.await = Await::Arrival;
    return sendCommand(op::kSetIntervalMode, encodeSetIntervalMode(on), options);
}

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t StartIntervalCaptureMode(void) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        Connection& c = connection();
        if (c.intervalMode) {
            return kOk;
        }
        if (setIntervalMode(true) != 0) {
            return kFailed;
        }
        c.intervalMode = true;
        return kOk;
    });
}

int32_t EndIntervalCaptureMode(void) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        Connection& c = connection();
        if (c.intervalMode) {
            if (setIntervalMode(false) != 0) {
                return kFailed;
            }
            c.intervalMode = false;
        }
        return kOk;
    });
}

// Date word: year (16 bits), month, day; time word: hour, minute, second, 0.
int32_t SyncCameraClock(uint32_t dateWord, uint32_t timeWord) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        return exportResult(sendCommand(op::kSetDateTime, encodeSetDateTime(dateWord, timeWord)));
    });
}
