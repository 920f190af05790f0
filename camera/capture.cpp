// Half press, release, the after-view exchange, and the save settings and
// waiting-file count of the files that follow a capture.
#include <cstring>

#include "capture_rules.h"
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"
#include "settings.h"
#include "transfer.h"
#include "translations.h"

using namespace fotolien;

int32_t S1On(int32_t focusPoint[2]) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        Connection& c = connection();
        {
            std::lock_guard lock(c.mutex);
            if (c.press == PressState::Pressed) {
                return kFailed;
            }
        }
        CommandOptions options;
        options.await = Await::Pressed;
        if (sendCommand(op::kS1, encodeS1(true), options) != 0) {
            return kFailed;  // not in focus, or no answer
        }
        if (focusPoint != nullptr) {
            std::lock_guard lock(c.mutex);
            focusPoint[0] = c.pressPoint[0];
            focusPoint[1] = c.pressPoint[1];
        }
        return kOk;
    });
}

int32_t S1Off(void) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        Connection& c = connection();
        {
            std::lock_guard lock(c.mutex);
            if (c.press == PressState::Released) {
                return kFailed;
            }
        }
        CommandOptions options;
        options.await = Await::Released;
        return exportResult(sendCommand(op::kS1, encodeS1(false), options));
    });
}

int32_t CaptureImage(int32_t seconds) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        Connection& c = connection();
        std::vector<uint8_t> payload;
        {
            std::lock_guard lock(c.mutex);
            payload = encodeCapture(c.parameters[param::kDriveMode].value,
                                    c.parameters[param::kImageSize].value,
                                    c.parameters[param::kImageQuality].value, seconds);
        }
        CommandOptions options;
        options.beforeWrite = [seconds](Connection& c, uint32_t) {
            c.capture.quality = c.parameters[param::kImageQuality].value;
            c.capture.colorMode = c.parameters[param::kColorMode].value;
            c.capture.seconds = seconds;
            c.capture.shutter = c.parameters[param::kShutterSpeed].value;
            c.capture.discarded = false;
            c.liveViewReady = false;
        };
        options.afterWrite = [](Connection& c, uint32_t number) { c.capture.number = number; };
        if (sendCommand(op::kCapture, payload, options) != 0) {
            return kFailed;
        }
        c.capturing = true;
        return kOk;
    });
}

int32_t TerminateCaptureImage(void) {
    return guarded(kFailed, [&]() -> int32_t {
        Connection& c = connection();
        if (!c.capturing.exchange(false)) {
            return kFailed;
        }
        CommandOptions options;
        options.await = Await::Arrival;
        if (sendCommand(op::kTerminateCapture, {}, options) != 0) {
            return kFailed;
        }
        // The files of this capture are on their way (unless the camera has
        // gone meanwhile: then none will come).
        std::lock_guard lock(c.mutex);
        if (!c.linkLost && !c.capture.discarded) {
            c.waitingFiles += filesPerCapture(c.capture.quality, c.capture.colorMode);
        }
        return kOk;
    });
}

int32_t SetDisplayAfterView(int32_t on) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        return exportResult(setCameraParameter(param::kAfterViewDisplay, on));
    });
}

int32_t AfterViewGetInfo(LiveViewInfo* info) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!capturing() || info == nullptr) {
            return kFailed;
        }
        *info = LiveViewInfo{};
        // An image left over from an earlier request must not pass for this one.
        CommandOptions options;
        options.await = Await::Nothing;
        options.beforeWrite = [](Connection& c, uint32_t) { c.afterView.ready = false; };
        if (sendCommand(op::kGetAfterViewImage, {}, options) != 0) {
            return kFailed;
        }
        Connection& c = connection();
        std::unique_lock lock(c.mutex);
        const auto budget =
            std::chrono::milliseconds(afterViewBudgetMs(c.capture.shutter, c.capture.seconds));
        const ResponseFlags& response = c.responseLocked(op::kGetAfterViewImage);
        c.changed.wait_for(lock, budget, [&] {
            return c.afterView.ready || (response.completed && !response.succeeded) || c.linkLost;
        });
        if (!c.afterView.ready) {
            return kFailed;
        }
        info->width = c.afterView.width;
        info->height = c.afterView.height;
        info->size = c.afterView.size;
        c.afterView.ready = false;
        return kOk;
    });
}

int32_t AfterViewGetFrame(void* buffer, uint32_t length) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!capturing() || buffer == nullptr || length == 0) {
            return kFailed;
        }
        Connection& c = connection();
        std::lock_guard lock(c.mutex);
        // Never more than the stored image holds.
        if (c.afterView.payload.empty() || length > c.afterView.size) {
            return kFailed;
        }
        std::memcpy(buffer, c.afterView.bytes(), length);
        return kOk;
    });
}

int32_t AfterViewConfirmation(int32_t keep) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!capturing()) {
            return kFailed;
        }
        if (!waitForFreeLink()) {
            return kFailed;
        }
        Connection& c = connection();
        uint32_t captureNumber = 0;
        {
            std::lock_guard lock(c.mutex);
            if (keep == 0) {
                // A discarded picture's files will not come. The exchange
                // comes before TerminateCaptureImage, which would count
                // them: it is told not to, so the count never dips below 0.
                c.capture.discarded = true;
            }
            captureNumber = c.capture.number;
        }
        return exportResult(sendCommand(op::kAfterView, encodeAfterView(keep == 0, captureNumber)));
    });
}

int32_t SetSaveFileInformation(const char* directory, const char* prefix) {
    return guarded(kFailed, [&]() -> int32_t {
        return transfer::setSaveSettings(connection(), directory, prefix) ? kOk : kFailed;
    });
}

int32_t GetSavedFileInfo(SavedFileInfo* info) {
    return guarded(kFailed, [&]() -> int32_t {
        if (info == nullptr) {
            return kFailed;
        }
        transfer::savedFileInfo(connection(), *info);
        return kOk;
    });
}

int32_t GetWaitingFileNumber(int32_t* count) {
    return guarded(kFailed, [&]() -> int32_t {
        if (count != nullptr) {
            Connection& c = connection();
            std::lock_guard lock(c.mutex);
            *count = c.waitingFiles;
        }
        return kOk;
    });
}
