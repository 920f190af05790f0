// Opening, closing, sleeping, shutting down and checking the connection.
#include "session.h"

#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "receiver.h"
#include "transfer.h"
#include "usbpipe.h"

namespace fotolien {

namespace {

// How long OpenCamera waits for the answer to Open.
constexpr auto kOpenAnswerLimit = std::chrono::seconds(10);

// Connection state as a fresh connection starts it. `mutex` held.
void resetForNewConnectionLocked(Connection& c, int32_t productId) {
    c.vendorId = ORKA_VENDOR_ID;
    c.productId = productId;
    c.nextCommand = 0;
    c.serving = 1;
    c.outstanding = 0;
    c.responses.fill(ResponseFlags{});
    c.stop = false;
    c.closeInProgress = false;
    c.linkLost = false;
    c.waitingFiles = 0;
    c.cameraState = 5;
    c.liveViewReady = true;
    c.press = PressState::Released;
    c.liveViewStarted = false;
    c.forgetPicturesLocked();
}

// Writes Open (command number 1) on the freshly opened device, like every
// other command. The receive thread does not exist yet, so nothing can be
// dispatched meanwhile: the answer is awaited once it runs.
bool writeOpen() {
    CommandOptions options;
    options.await = Await::Nothing;
    return sendCommand(op::kOpen, {}, options) == 0;
}

// Waits for Open's answer; true when it came with status 0.
bool openAnswered(Connection& c) {
    std::unique_lock lock(c.mutex);
    ResponseFlags& flags = c.responseLocked(op::kOpen);
    c.changed.wait_for(lock, kOpenAnswerLimit, [&] { return flags.completed || c.linkLost; });
    const bool ok = flags.completed && flags.succeeded;
    flags = ResponseFlags{};
    return ok;
}

// Close with mode 0 (close) or 1 (sleep) and its argument; 0 or -1. The
// connection is ended on success, and also when it is already lost.
int closeProcedure(uint16_t mode, uint16_t argument) {
    Connection& c = connection();
    {
        std::lock_guard lock(c.mutex);
        if (c.device == nullptr || c.waitingFiles > 0) {
            return -1;
        }
    }
    const int result = sendCommand(op::kClose, encodeClose(mode, argument));
    bool lost = false;
    {
        std::lock_guard lock(c.mutex);
        lost = c.linkLost;
    }
    if (result == 0 || lost) {
        endConnection(c);
    }
    return result;
}

}  // namespace

Connection& connection() {
    static Connection* const instance = new Connection;
    return *instance;
}

bool inControlMode() {
    return connection().controlMode.load();
}

bool capturing() {
    return connection().capturing.load();
}

void endConnection(Connection& c) {
    const bool closed = stopReceiver(c);
    transfer::abandonOpenFiles(c);
    void* device = nullptr;
    {
        std::lock_guard lock(c.mutex);
        device = c.device;
        c.device = nullptr;
        c.forgetPicturesLocked();
        c.changed.notify_all();
    }
    if (device != nullptr && !closed) {
        usbNativeStopWriteBulk(device);
        usbNativeStopReadBulk(device);
        usbNativeClose(device);
    }
}

}  // namespace fotolien

using namespace fotolien;

int32_t OpenCamera(int32_t productId) {
    return guarded(kNoCamera, [&]() -> int32_t {
        Connection& c = connection();
        // A connection left open (never closed, or ended by the camera) goes first.
        endConnection(c);
        {
            std::lock_guard lock(c.mutex);
            resetForNewConnectionLocked(c, productId);
        }
        usbNativeInit();
        void* const device = usbNativeOpen(c.vendorId, c.productId, 0);
        if (device == nullptr) {
            return kNoCamera;
        }
        usbNativeDeviceReset(device);
        {
            std::lock_guard lock(c.mutex);
            c.device = device;
        }
        if (!writeOpen()) {
            {
                std::lock_guard lock(c.mutex);
                c.device = nullptr;
            }
            usbNativeClose(device);
            return kNoCamera;
        }
        if (!startReceiver(c) || !openAnswered(c)) {
            endConnection(c);
            return kNoCamera;
        }
        c.controlMode = false;
        c.capturing = false;
        c.intervalMode = false;
        return kOk;
    });
}

int32_t CloseCamera(void) {
    return guarded(kFailed, [&]() -> int32_t { return exportResult(closeProcedure(0, 0)); });
}

int32_t SleepCamera(int32_t argument) {
    return guarded(kFailed, [&]() -> int32_t {
        const auto low = static_cast<uint16_t>(argument & 0xFFFF);
        if (low == 0) {
            return kFailed;
        }
        return exportResult(closeProcedure(1, low));
    });
}

int32_t ShutdownCamera(void) {
    return guarded(kFailed, [&]() -> int32_t {
        Connection& c = connection();
        {
            std::lock_guard lock(c.mutex);
            if (c.waitingFiles != 0) {
                return kFailed;
            }
        }
        // No answer is awaited: the camera switches itself off.
        CommandOptions options;
        options.await = Await::Nothing;
        return exportResult(sendCommand(op::kShutdown, {}, options));
    });
}

int32_t CheckExistUSBCamera(void) {
    return guarded(kNoCamera, [&]() -> int32_t {
        Connection& c = connection();
        {
            std::lock_guard lock(c.mutex);
            if (!c.linkLost) {
                return kOk;
            }
        }
        endConnection(c);
        c.controlMode = false;
        return kNoCamera;
    });
}
