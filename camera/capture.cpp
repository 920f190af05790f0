// Half press, release, after-view exchange and the waiting-file count.
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"

using namespace fotolien;

int32_t S1On(int32_t focusPoint[2]) {
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
    if (sendCommand(op::kS1, PayloadBuilder{}.u16(1).bytes(), options) != 0) {
        return kFailed;  // not in focus, or no answer
    }
    if (focusPoint != nullptr) {
        std::lock_guard lock(c.mutex);
        focusPoint[0] = c.pressPoint[0];
        focusPoint[1] = c.pressPoint[1];
    }
    return kOk;
}

int32_t S1Off(void) {
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
    return exportResult(sendCommand(op::kS1, PayloadBuilder{}.u16(0).bytes(), options));
}

int32_t CaptureImage(int32_t) {
    return kFailed;
}

int32_t TerminateCaptureImage(void) {
    return kFailed;
}

int32_t SetDisplayAfterView(int32_t) {
    return kFailed;
}

int32_t AfterViewGetInfo(LiveViewInfo*) {
    return kFailed;
}

int32_t AfterViewGetFrame(void*, uint32_t) {
    return kFailed;
}

int32_t AfterViewConfirmation(int32_t) {
    return kFailed;
}

int32_t SetSaveFileInformation(const char*, const char*) {
    return kFailed;
}

int32_t GetSavedFileInfo(SavedFileInfo*) {
    return kFailed;
}

int32_t GetWaitingFileNumber(int32_t* count) {
    if (count != nullptr) {
        Connection& c = connection();
        std::lock_guard lock(c.mutex);
        *count = c.waitingFiles;
    }
    return kOk;
}
