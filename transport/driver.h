// The driver layer under the Usbpipe exports: attach/detach notification
// filtered by vendor and product, interface selection, transfers with a time
// limit, abort, pipe reset and device reset. Two implementations exist: the
// libusb one (driver_libusb.cpp) and the simulated camera (driver_sim.cpp);
// each build of libUsbpipe.so links exactly one of them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace usbpipe {

// Driver status values. They stay inside the library: every export reduces
// them to its own failure value (null or -1).
enum Status : uint32_t {
    kOk = 0,
    kNullHandle = 0x20000001,
    kNoMemory = 0x20000005,
    kDriverUnavailable = 0x20000007,  // driver could not be opened, event wait failed
    kNotAttached = 0x2000000F,        // the device is not (or no longer) attached
    kTimeout = 0x20000015,            // a transfer or wait ran out of time
    kBadVersion = 0x2000001C,
    kTransferFailed = 0x20000100,  // I/O error on the bus
    kCancelled = 0x20000101,       // the transfer was aborted
    kStalled = 0x20000102,         // the endpoint answered with a stall
    kBusy = 0x20000103,            // another program has claimed the interface
    kAccessDenied = 0x20000104,    // no permission to open the device
};

// One attached device as the driver sees it. Objects stay valid as long as
// someone holds a reference; after detach every operation fails with
// kNotAttached.
class Device {
  public:
    virtual ~Device() = default;
    // Number of the active interface and maximum packet size of its first
    // endpoint (filled before the attach callback runs).
    virtual int interfaceNumber() const = 0;
    virtual uint32_t maxPacketSize() const = 0;
    virtual uint32_t selectInterface(int interfaceNumber, int alternateSetting) = 0;
    // One bulk transfer on `endpoint` (0x01 out, 0x82 in). timeoutMs 0 means
    // no limit. *transferred receives the byte count (also on failure).
    virtual uint32_t bulkTransfer(uint8_t endpoint, void* buffer, uint32_t length,
                                  uint32_t timeoutMs, uint32_t* transferred) = 0;
    // Control transfer on pipe 0, direction out, with the given setup packet.
    virtual uint32_t controlTransfer(const uint8_t setup[8], const void* buffer, uint32_t length,
                                     uint32_t timeoutMs, uint32_t* transferred) = 0;
    // Cancels every transfer pending on the pipe; a blocked transfer returns
    // kCancelled promptly.
    virtual void abortPipe(uint8_t endpoint) = 0;
    virtual void resetPipe(uint8_t pipe) = 0;
    virtual void resetDevice() = 0;
    // After selectInterface answered kBusy: the program holding the device,
    // as "name (pid N)", or empty when it cannot be seen.
    virtual std::string holder() const { return {}; }
};

using DevicePtr = std::shared_ptr<Device>;

// Attach callback: return true to accept the device. Detach callback: the
// device has gone. Refused: a matching device is on the bus but cannot be
// opened (status kAccessDenied; `node` names its device node). Scanned: once,
// after every matching device present at registration has been offered
// through attach or refused, whether there was any (a device arriving later
// is reported through attach as usual). Every callback runs on the driver's
// event thread and may be empty.
struct Notifications {
    std::function<bool(const DevicePtr&)> attach;
    std::function<void(const DevicePtr&)> detach;
    std::function<void(uint32_t status, const std::string& node)> refused;
    std::function<void(bool found)> scanned;
};

// One registration of attach/detach notifications (one per usbNativeOpen).
class Registration {
  public:
    virtual ~Registration() = default;
    // Stops event delivery: no callback runs after this returns, every
    // pending transfer of its devices is cancelled and every thread the
    // registration started is joined.
    virtual void stop() = 0;
};

// Registers for devices matching vendor/product (device and interface class
// fields: any). A device already present is reported through `attach` right
// after registration. Returns null and sets *status on failure.
std::unique_ptr<Registration> registerNotifications(uint16_t vendorId, uint16_t productId,
                                                    Notifications notifications, uint32_t* status);

}  // namespace usbpipe
