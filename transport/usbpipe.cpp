// The Usbpipe exports on top of the driver layer (driver.h).
//
// One device context per successful usbNativeOpen; the handle given to the
// caller is the context's address. The library-wide state (attached flag,
// maximum packet size, leftover store) describes the one camera in use.
//
// Lock order: Library::readMutex, Context::lifecycle, Context::mutex,
// Library::storeMutex. Library::handlesMutex is never held together with
// another lock; Library::diagnosisMutex is taken last, with nothing taken
// inside it. The driver's event thread takes only Context::mutex and
// Library::storeMutex, so a transfer may block while holding readMutex.
#include "usbpipe.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "driver.h"
#include "internal.h"

namespace {

using usbpipe::DevicePtr;
using Clock = std::chrono::steady_clock;

constexpr uint8_t kBulkOutPipe = 0x01;
constexpr uint8_t kBulkInPipe = 0x82;
// The pipe-reset exports name pipes 3 and 4, not the bulk pipes; nothing in
// the system calls them, and they are kept as they have always been.
constexpr uint8_t kResetWritePipe = 3;
constexpr uint8_t kResetReadPipe = 4;

constexpr uint32_t kBulkWriteTimeoutMs = 3000;
constexpr uint32_t kControlWriteTimeoutMs = 10000;
constexpr uint32_t kBulkReadTimeoutMs = 0;  // no limit: a read ends with data or an abort

// Setup packet of usbNativeWriteControl (no caller supplies one): a
// vendor-specific request, host to device, addressed to the device:
// bmRequestType 0x40, bRequest 0x00, wValue 0, wIndex 0 (interface 0),
// wLength = the data length (little-endian).
constexpr uint8_t kControlRequestType = 0x40;
constexpr uint8_t kControlRequest = 0x00;

// A packet size beyond anything USB defines is a driver fault, not a device.
constexpr uint32_t kMaxSanePacketSize = 65536;

struct Context {
    const int interfaceNumber = 0;
    const int alternateSetting = 0;

    // Held while the registration is stopped and the device released, so
    // that close and a later open that retires this context do it once.
    std::mutex lifecycle;
    std::unique_ptr<usbpipe::Registration> registration;  // guarded by lifecycle

    // Guards everything below. attachEvent is notified whenever one of them
    // changes in a way that may end the wait of usbNativeOpen.
    std::mutex mutex;
    std::condition_variable attachEvent;
    DevicePtr device;
    bool attachSignalled = false;
    uint32_t selectStatus = usbpipe::kOk;
    std::string holder;  // who holds the device, when the selection answered kBusy
    // What the driver found on the bus: the devices present at registration
    // have been reported (scanned), whether any matched (found), and a
    // matching device it could not open (refusal, with its node).
    bool scanned = false;
    bool found = false;
    uint32_t refusal = usbpipe::kOk;
    std::string refusedNode;
};

using ContextPtr = std::shared_ptr<Context>;

struct Library {
    // 1 from the moment a device is accepted until it detaches (or its
    // context is closed), else 0.
    std::atomic<int32_t> attached{0};

    // Serialises bulk reads: the bytes of the bulk-in pipe and the leftover
    // store reach readers in order. Held across a transfer, so never taken
    // by the driver's event thread or by close.
    std::mutex readMutex;

    std::mutex storeMutex;  // guards maxPacketSize, store, storeCount, storeGeneration
    uint32_t maxPacketSize = 0;
    std::vector<uint8_t> store;  // maxPacketSize bytes while a device is attached
    size_t storeCount = 0;       // bytes held, from the front of store
    // Raised by every attach and detach: a read that started before one of
    // them must not put its surplus into the store of another attachment.
    uint64_t storeGeneration = 0;

    std::mutex handlesMutex;  // guards handles
    std::unordered_map<void*, ContextPtr> handles;

    std::atomic<int64_t> attachWaitMs{10000};

    // Why the last open failed, for usbNativeOpenDiagnosis.
    std::mutex diagnosisMutex;  // guards diagnosis and diagnosisDetail
    int32_t diagnosis = USBPIPE_OPEN_OK;
    std::string diagnosisDetail;
};

// Never destroyed: a driver thread may still be delivering a notification
// while the process exits.
Library& library() {
    static Library* instance = new Library;
    return *instance;
}

ContextPtr findContext(void* handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    Library& lib = library();
    std::lock_guard lock(lib.handlesMutex);
    auto it = lib.handles.find(handle);
    return it == lib.handles.end() ? nullptr : it->second;
}

void setDiagnosis(int32_t reason, std::string detail = {}) {
    Library& lib = library();
    std::lock_guard lock(lib.diagnosisMutex);
    lib.diagnosis = reason;
    lib.diagnosisDetail = std::move(detail);
}

DevicePtr deviceOf(Context& ctx) {
    std::lock_guard lock(ctx.mutex);
    return ctx.device;
}

void attachStore(uint32_t packetSize, std::vector<uint8_t>&& store) {
    Library& lib = library();
    std::lock_guard lock(lib.storeMutex);
    lib.maxPacketSize = packetSize;
    lib.store = std::move(store);
    lib.storeCount = 0;
    ++lib.storeGeneration;
}

void releaseStore() {
    Library& lib = library();
    std::vector<uint8_t> released;
    std::lock_guard lock(lib.storeMutex);
    released.swap(lib.store);
    lib.storeCount = 0;
    ++lib.storeGeneration;
}

// Attach handler, on the driver's event thread.
bool onAttach(Context& ctx, const DevicePtr& device) {
    if (!device || device->interfaceNumber() != ctx.interfaceNumber) {
        return false;
    }
    std::lock_guard lock(ctx.mutex);
    if (ctx.device) {
        return false;
    }
    uint32_t status = device->selectInterface(ctx.interfaceNumber, ctx.alternateSetting);
    const uint32_t packetSize = device->maxPacketSize();
    std::vector<uint8_t> store;
    if (status == usbpipe::kOk && (packetSize == 0 || packetSize > kMaxSanePacketSize)) {
        status = usbpipe::kTransferFailed;
    }
    if (status == usbpipe::kOk) {
        try {
            store.resize(packetSize);
        } catch (const std::bad_alloc&) {
            status = usbpipe::kNoMemory;
        }
    }
    ctx.selectStatus = status;
    if (status == usbpipe::kBusy) {
        ctx.holder = device->holder();
    }
    const bool accepted = status == usbpipe::kOk;
    if (accepted) {
        ctx.device = device;
        attachStore(packetSize, std::move(store));
        library().attached = 1;
    }
    ctx.attachSignalled = true;
    ctx.attachEvent.notify_all();
    return accepted;
}

// A matching device the driver could not open, on its event thread.
void onRefused(Context& ctx, uint32_t status, const std::string& node) {
    std::lock_guard lock(ctx.mutex);
    if (ctx.refusal == usbpipe::kOk) {
        ctx.refusal = status;
        ctx.refusedNode = node;
    }
    ctx.attachEvent.notify_all();
}

// The devices present at registration have all been reported.
void onScanned(Context& ctx, bool found) {
    std::lock_guard lock(ctx.mutex);
    ctx.scanned = true;
    ctx.found = found;
    ctx.attachEvent.notify_all();
}

// Detach handler, on the driver's event thread.
void onDetach(Context& ctx, const DevicePtr& device) {
    std::lock_guard lock(ctx.mutex);
    if (!device || ctx.device != device) {
        return;
    }
    ctx.device.reset();
    library().attached = 0;
    releaseStore();
}

// Ends a context's registration and lets its device go, once: no callback
// runs afterwards, pending transfers have ended, and a transfer on the
// context fails with -1 from now on.
void retire(Context& ctx) {
    std::lock_guard life(ctx.lifecycle);
    if (ctx.registration) {
        ctx.registration->stop();
        ctx.registration.reset();
    }
    std::lock_guard lock(ctx.mutex);
    if (ctx.device) {
        ctx.device.reset();
        library().attached = 0;
        releaseStore();
    }
}

// Runs an export body; no exception leaves the library.
template <typename Result, typename Body>
Result guarded(Result failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

// The wait of usbNativeOpen: it ends as soon as the outcome is known (the
// device accepted or refused, or nothing matching on the bus), else when the
// attach wait has passed. A device present but not yet usable (not offered,
// or offered with an interface other than 0) is thus given the whole wait.
// Returns true when the device is ready; otherwise records why not.
bool waitForDevice(Context& ctx, Clock::time_point deadline) {
    std::unique_lock lock(ctx.mutex);
    ctx.attachEvent.wait_until(lock, deadline, [&] {
        return ctx.attachSignalled || ctx.refusal != usbpipe::kOk || (ctx.scanned && !ctx.found);
    });
    if (ctx.attachSignalled && ctx.selectStatus == usbpipe::kOk && ctx.device != nullptr) {
        return true;
    }
    if (ctx.attachSignalled && ctx.selectStatus == usbpipe::kBusy) {
        setDiagnosis(USBPIPE_OPEN_BUSY, ctx.holder);
    } else if (ctx.refusal == usbpipe::kAccessDenied) {
        setDiagnosis(USBPIPE_OPEN_ACCESS_DENIED, ctx.refusedNode);
    } else if (ctx.attachSignalled || ctx.found || ctx.refusal != usbpipe::kOk) {
        setDiagnosis(USBPIPE_OPEN_NOT_READY);
    } else {
        setDiagnosis(USBPIPE_OPEN_NO_DEVICE);
    }
    return false;
}

void* open(int32_t vendorId, int32_t productId) {
    // Replaced below by the outcome; stays if something throws.
    setDiagnosis(USBPIPE_OPEN_UNAVAILABLE);
    if (vendorId < 0 || vendorId > 0xFFFF || productId < 0 || productId > 0xFFFF) {
        setDiagnosis(USBPIPE_OPEN_NO_DEVICE);  // no device carries such identifiers
        return nullptr;
    }
    Library& lib = library();

    // The library-wide state serves one camera at a time: opening it again
    // means an earlier context was given up (typically after the camera was
    // unplugged). Retire such contexts so that they cannot take the device
    // back when it returns; their handles stay valid until closed.
    std::vector<ContextPtr> earlier;
    {
        std::lock_guard lock(lib.handlesMutex);
        for (auto& [handle, ctx] : lib.handles) {
            earlier.push_back(ctx);
        }
    }
    for (auto& ctx : earlier) {
        retire(*ctx);
    }

    auto ctx = std::make_shared<Context>();
    Context* raw = ctx.get();
    usbpipe::Notifications notifications{
        [raw](const DevicePtr& device) { return onAttach(*raw, device); },
        [raw](const DevicePtr& device) { onDetach(*raw, device); },
        [raw](uint32_t status, const std::string& node) { onRefused(*raw, status, node); },
        [raw](bool found) { onScanned(*raw, found); },
    };
    uint32_t status = usbpipe::kOk;
    std::unique_lock life(ctx->lifecycle);
    ctx->registration = usbpipe::registerNotifications(static_cast<uint16_t>(vendorId),
                                                       static_cast<uint16_t>(productId),
                                                       std::move(notifications), &status);
    if (!ctx->registration) {
        return nullptr;  // the diagnosis stays USBPIPE_OPEN_UNAVAILABLE
    }
    life.unlock();

    const auto deadline = Clock::now() + std::chrono::milliseconds(lib.attachWaitMs.load());
    if (!waitForDevice(*ctx, deadline)) {
        retire(*ctx);
        return nullptr;
    }
    try {
        std::lock_guard lock(lib.handlesMutex);
        lib.handles.emplace(raw, ctx);
    } catch (...) {
        retire(*ctx);
        throw;
    }
    setDiagnosis(USBPIPE_OPEN_OK);
    return raw;
}

int32_t openDiagnosis(char* detail, int32_t detailSize) {
    Library& lib = library();
    std::lock_guard lock(lib.diagnosisMutex);
    if (detail != nullptr && detailSize > 0) {
        const size_t n = std::min(lib.diagnosisDetail.size(), static_cast<size_t>(detailSize) - 1);
        std::memcpy(detail, lib.diagnosisDetail.data(), n);
        detail[n] = '\0';
    }
    return lib.diagnosis;
}

void* close(void* handle) {
    ContextPtr ctx;
    {
        Library& lib = library();
        std::lock_guard lock(lib.handlesMutex);
        auto it = lib.handles.find(handle);
        if (it == lib.handles.end()) {
            return handle;
        }
        ctx = std::move(it->second);
        lib.handles.erase(it);
    }
    retire(*ctx);
    return handle;
}

int32_t readBulk(void* handle, void* buffer, int32_t offset, int32_t length) {
    if (buffer == nullptr || offset < 0 || length < 0) {
        return -1;
    }
    ContextPtr ctx = findContext(handle);
    if (!ctx) {
        return -1;
    }
    Library& lib = library();
    std::lock_guard readLock(lib.readMutex);

    uint8_t* out = static_cast<uint8_t*>(buffer) + offset;
    const size_t wanted = static_cast<size_t>(length);
    size_t fromStore;
    uint32_t packetSize;
    uint64_t generation;
    {
        std::lock_guard lock(lib.storeMutex);
        const size_t held = lib.storeCount;
        if (held >= wanted) {
            if (wanted == 0) {
                return 0;
            }
            std::memcpy(out, lib.store.data(), wanted);
            std::memmove(lib.store.data(), lib.store.data() + wanted, held - wanted);
            lib.storeCount = held - wanted;
            return length;
        }
        // Hand the stored bytes over but keep them until the transfer
        // succeeds: a failed or aborted read loses nothing.
        if (held > 0) {
            std::memcpy(out, lib.store.data(), held);
        }
        fromStore = held;
        packetSize = lib.maxPacketSize;
        generation = lib.storeGeneration;
    }

    DevicePtr device = deviceOf(*ctx);
    if (!device || packetSize == 0) {
        return -1;
    }
    const size_t missing = wanted - fromStore;
    uint8_t* target = out + fromStore;
    const size_t request = (missing + packetSize - 1) / packetSize * packetSize;
    if (request > UINT32_MAX) {
        return -1;
    }
    std::unique_ptr<uint8_t[]> temporary;
    if (request != missing) {
        temporary.reset(new (std::nothrow) uint8_t[request]);
        if (!temporary) {
            return -1;
        }
    }
    uint32_t transferred = 0;
    const uint32_t status =
        device->bulkTransfer(kBulkInPipe, temporary ? temporary.get() : target,
                             static_cast<uint32_t>(request), kBulkReadTimeoutMs, &transferred);
    if (status != usbpipe::kOk) {
        return -1;
    }
    const size_t received = std::min<size_t>(transferred, request);
    const size_t delivered = std::min(received, missing);
    if (temporary) {
        std::memcpy(target, temporary.get(), delivered);
    }

    std::lock_guard lock(lib.storeMutex);
    if (lib.storeGeneration == generation) {
        const size_t surplus = received - delivered;  // below packetSize
        if (surplus > 0 && surplus <= lib.store.size()) {
            std::memcpy(lib.store.data(), temporary.get() + delivered, surplus);
            lib.storeCount = surplus;
        } else {
            lib.storeCount = 0;
        }
    }
    return static_cast<int32_t>(fromStore + delivered);
}

int32_t writeBulk(void* handle, const void* buffer, int32_t length) {
    if (length < 0 || (buffer == nullptr && length > 0)) {
        return -1;
    }
    ContextPtr ctx = findContext(handle);
    DevicePtr device = ctx ? deviceOf(*ctx) : nullptr;
    if (!device) {
        return -1;
    }
    uint32_t transferred = 0;
    // The driver only reads from an outgoing buffer.
    const uint32_t status =
        device->bulkTransfer(kBulkOutPipe, const_cast<void*>(buffer), static_cast<uint32_t>(length),
                             kBulkWriteTimeoutMs, &transferred);
    if (status != usbpipe::kOk) {
        return -1;
    }
    return static_cast<int32_t>(std::min<uint32_t>(transferred, static_cast<uint32_t>(length)));
}

int32_t writeControl(void* handle, const void* buffer, int32_t length) {
    if (length < 0 || length > 0xFFFF || (buffer == nullptr && length > 0)) {
        return -1;
    }
    ContextPtr ctx = findContext(handle);
    DevicePtr device = ctx ? deviceOf(*ctx) : nullptr;
    if (!device) {
        return -1;
    }
    const uint8_t setup[8] = {kControlRequestType,
                              kControlRequest,
                              0,
                              0,
                              static_cast<uint8_t>(ctx->interfaceNumber & 0xFF),
                              static_cast<uint8_t>((ctx->interfaceNumber >> 8) & 0xFF),
                              static_cast<uint8_t>(length & 0xFF),
                              static_cast<uint8_t>((length >> 8) & 0xFF)};
    uint32_t transferred = 0;
    const uint32_t status = device->controlTransfer(setup, buffer, static_cast<uint32_t>(length),
                                                    kControlWriteTimeoutMs, &transferred);
    if (status != usbpipe::kOk) {
        return -1;
    }
    return static_cast<int32_t>(std::min<uint32_t>(transferred, static_cast<uint32_t>(length)));
}

// Reset, abort and device reset: one driver request, result ignored.
template <typename Action>
int32_t onDevice(void* handle, Action&& action) {
    ContextPtr ctx = findContext(handle);
    if (DevicePtr device = ctx ? deviceOf(*ctx) : nullptr) {
        action(*device);
    }
    return 1;
}

}  // namespace

namespace usbpipe::internal {

void setAttachWait(std::chrono::milliseconds wait) {
    library().attachWaitMs = wait.count();
}

}  // namespace usbpipe::internal

extern "C" {

int32_t usbNativeInit(void) {
    return 1;
}

void* usbNativeOpen(int32_t vendorId, int32_t productId, int32_t /*unused*/) {
    return guarded<void*>(nullptr, [&] { return open(vendorId, productId); });
}

void* usbNativeClose(void* handle) {
    if (handle == nullptr) {
        return nullptr;
    }
    return guarded<void*>(handle, [&] { return close(handle); });
}

int32_t usbNativeCountDev(int32_t /*vendorId*/, int32_t /*productId*/) {
    return library().attached.load();
}

int32_t usbNativeDeviceReset(void* handle) {
    return guarded<int32_t>(
        1, [&] { return onDevice(handle, [](usbpipe::Device& device) { device.resetDevice(); }); });
}

int32_t usbNativeWriteControl(void* handle, const void* buffer, int32_t length) {
    return guarded<int32_t>(-1, [&] { return writeControl(handle, buffer, length); });
}

int32_t usbNativeWriteBulk(void* handle, const void* buffer, int32_t /*unused*/, int32_t length) {
    return guarded<int32_t>(-1, [&] { return writeBulk(handle, buffer, length); });
}

int32_t usbNativeReadBulk(void* handle, void* buffer, int32_t offset, int32_t length) {
    return guarded<int32_t>(-1, [&] { return readBulk(handle, buffer, offset, length); });
}

int32_t usbNativeStopWriteBulk(void* handle) {
    return guarded<int32_t>(1, [&] {
        return onDevice(handle, [](usbpipe::Device& device) { device.abortPipe(kBulkOutPipe); });
    });
}

int32_t usbNativeStopReadBulk(void* handle) {
    return guarded<int32_t>(1, [&] {
        return onDevice(handle, [](usbpipe::Device& device) { device.abortPipe(kBulkInPipe); });
    });
}

int32_t usbNativeResetWriteBulk(void* handle) {
    return guarded<int32_t>(1, [&] {
        return onDevice(handle, [](usbpipe::Device& device) { device.resetPipe(kResetWritePipe); });
    });
}

int32_t usbNativeResetReadBulk(void* handle) {
    return guarded<int32_t>(1, [&] {
        return onDevice(handle, [](usbpipe::Device& device) { device.resetPipe(kResetReadPipe); });
    });
}

int32_t usbNativeOpenDiagnosis(char* detail, int32_t detailSize) {
    return guarded<int32_t>(USBPIPE_OPEN_UNAVAILABLE,
                            [&] { return openDiagnosis(detail, detailSize); });
}

}  // extern "C"
