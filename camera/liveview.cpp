// Live view: preview size, and one frame per request.
#include <cstring>

#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"
#include "translations.h"

namespace fotolien {

namespace {

// How long the new preview mode may take to start, and a frame to come.
constexpr auto kLiveViewReadyLimit = std::chrono::seconds(5);
constexpr auto kFrameLimit = std::chrono::seconds(1);

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t SetLiveViewMode(int32_t mode) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        CommandOptions options;
        options.await = Await::Arrival;
        options.beforeWrite = [](Connection& c, uint32_t) { c.liveViewReady = false; };
        if (sendCommand(op::kSetLiveViewMode, encodeSetLiveViewMode(mode), options) != 0) {
            return kFailed;
        }
        Connection& c = connection();
        std::unique_lock lock(c.mutex);
        c.changed.wait_for(lock, kLiveViewReadyLimit,
                           [&] { return c.liveViewReady || c.linkLost; });
        return c.liveViewReady ? kOk : kFailed;
    });
}

int32_t LiveViewGetInfo(LiveViewInfo* info) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode() || info == nullptr) {
            return kFailed;
        }
        *info = LiveViewInfo{};
        // A frame left over from an earlier request must not pass for this one.
        CommandOptions options;
        options.await = Await::Nothing;
        options.beforeWrite = [](Connection& c, uint32_t) { c.liveFrame.ready = false; };
        if (sendCommand(op::kGetLVFrame, {}, options) != 0) {
            return kFailed;
        }
        Connection& c = connection();
        std::unique_lock lock(c.mutex);
        const ResponseFlags& response = c.responseLocked(op::kGetLVFrame);
        c.changed.wait_for(lock, kFrameLimit, [&] {
            return c.liveFrame.ready || (response.completed && !response.succeeded) || c.linkLost;
        });
        if (!c.liveFrame.ready) {
            return kFailed;
        }
        info->width = c.liveFrame.width;
        info->height = c.liveFrame.height;
        info->size = c.liveFrame.size;
        c.liveFrame.ready = false;
        return kOk;
    });
}

int32_t LiveViewGetFrame(void* buffer, uint32_t length, CameraStatusData* status) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode() || buffer == nullptr || length == 0) {
            return kFailed;
        }
        Connection& c = connection();
        std::lock_guard lock(c.mutex);
        // Never more than the stored frame holds.
        if (c.liveFrame.payload.empty() || length > c.liveFrame.size) {
            return kFailed;
        }
        std::memcpy(buffer, c.liveFrame.bytes(), length);
        if (status != nullptr) {
            fillStatus(c.parameterValuesLocked(), status);
        }
        return kOk;
    });
}
