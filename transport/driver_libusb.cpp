// The driver layer on libusb-1.0.
//
// Each registration owns a libusb context and two threads:
//  - the event thread runs libusb's event handling: transfer completions,
//    time-outs and hotplug callbacks;
//  - the watch thread turns arrivals and departures into attach and detach
//    notifications. It opens and claims devices, which libusb forbids inside
//    a hotplug callback, so the callback only queues the event for it. It
//    also says when the devices present at the start have all been seen,
//    so that an open with no camera on the bus need not wait. Where
//    libusb offers no hotplug notification the watch thread compares the
//    device list every 250 ms instead.
// Blocking transfers are asynchronous libusb transfers waited on with a
// condition variable, so that an abort or an unplug can cancel them.
#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "diagnostics.h"
#include "driver.h"
#include "internal.h"

namespace usbpipe {

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(250);
constexpr int kEventTimeoutMs = 1000;  // backstop; stop() interrupts the event handler

std::atomic<bool> forcePolling{false};

// Identifies a device on the bus for as long as it stays plugged in.
using DeviceKey = std::pair<uint8_t, uint8_t>;  // bus number, device address

DeviceKey keyOf(libusb_device* device) {
    return {libusb_get_bus_number(device), libusb_get_device_address(device)};
}

uint32_t statusOfError(int error) {
    switch (error) {
        case LIBUSB_SUCCESS:
            return kOk;
        case LIBUSB_ERROR_NO_DEVICE:
        case LIBUSB_ERROR_NOT_FOUND:
            return kNotAttached;
        case LIBUSB_ERROR_TIMEOUT:
            return kTimeout;
        case LIBUSB_ERROR_PIPE:
            return kStalled;
        case LIBUSB_ERROR_NO_MEM:
            return kNoMemory;
        case LIBUSB_ERROR_BUSY:
            return kBusy;
        case LIBUSB_ERROR_ACCESS:
            return kAccessDenied;
        default:
            return kTransferFailed;
    }
}

class LibusbDevice final : public Device {
  public:
    LibusbDevice(libusb_device_handle* handle, int interfaceNumber, uint32_t maxPacketSize,
                 std::string node)
        : interfaceNumber_(interfaceNumber),
          maxPacketSize_(maxPacketSize),
          node_(std::move(node)),
          handle_(handle) {}

    ~LibusbDevice() override { shutDown(); }

    int interfaceNumber() const override { return interfaceNumber_; }
    uint32_t maxPacketSize() const override { return maxPacketSize_; }

    uint32_t selectInterface(int interfaceNumber, int alternateSetting) override {
        return withHandle([&](libusb_device_handle* handle) -> uint32_t {
            int rc = libusb_claim_interface(handle, interfaceNumber);
            if (rc == LIBUSB_ERROR_BUSY) {
                std::string holder = diagnostics::reportBusy(node_);
                std::lock_guard lock(mutex_);
                holder_ = std::move(holder);
            }
            if (rc == LIBUSB_SUCCESS && alternateSetting != 0) {
                rc = libusb_set_interface_alt_setting(handle, interfaceNumber, alternateSetting);
                if (rc != LIBUSB_SUCCESS) {
                    libusb_release_interface(handle, interfaceNumber);
                }
            }
            if (rc == LIBUSB_SUCCESS) {
                std::lock_guard lock(mutex_);
                claimed_ = interfaceNumber;
            }
            return statusOfError(rc);
        });
    }

    uint32_t bulkTransfer(uint8_t endpoint, void* buffer, uint32_t length, uint32_t timeoutMs,
                          uint32_t* transferred) override {
        *transferred = 0;
        if (length > static_cast<uint32_t>(INT32_MAX)) {
            return kTransferFailed;
        }
        libusb_transfer* transfer = libusb_alloc_transfer(0);
        if (transfer == nullptr) {
            return kNoMemory;
        }
        libusb_fill_bulk_transfer(transfer, nullptr, endpoint, static_cast<unsigned char*>(buffer),
                                  static_cast<int>(length), &LibusbDevice::completed, nullptr,
                                  timeoutMs);
        return run(transfer, endpoint, transferred);
    }

    uint32_t controlTransfer(const uint8_t setup[8], const void* buffer, uint32_t length,
                             uint32_t timeoutMs, uint32_t* transferred) override {
        *transferred = 0;
        if (length > 0xFFFF) {
            return kTransferFailed;
        }
        // libusb wants the setup packet and the data in one buffer.
        std::vector<unsigned char> block(LIBUSB_CONTROL_SETUP_SIZE + length);
        std::memcpy(block.data(), setup, LIBUSB_CONTROL_SETUP_SIZE);
        if (length > 0) {
            std::memcpy(block.data() + LIBUSB_CONTROL_SETUP_SIZE, buffer, length);
        }
        // The data length in the setup packet must match the data sent.
        block[6] = static_cast<unsigned char>(length & 0xFF);
        block[7] = static_cast<unsigned char>(length >> 8);
        libusb_transfer* transfer = libusb_alloc_transfer(0);
        if (transfer == nullptr) {
            return kNoMemory;
        }
        libusb_fill_control_transfer(transfer, nullptr, block.data(), &LibusbDevice::completed,
                                     nullptr, timeoutMs);
        return run(transfer, 0, transferred);
    }

    void abortPipe(uint8_t endpoint) override {
        std::lock_guard lock(mutex_);
        for (Pending* pending : pending_) {
            if (pending->endpoint == endpoint) {
                libusb_cancel_transfer(pending->transfer);
            }
        }
    }

    void resetPipe(uint8_t pipe) override {
        withHandle([&](libusb_device_handle* handle) -> uint32_t {
            return statusOfError(libusb_clear_halt(handle, pipe));
        });
    }

    void resetDevice() override {
        withHandle([&](libusb_device_handle* handle) -> uint32_t {
            return statusOfError(libusb_reset_device(handle));
        });
    }

    std::string holder() const override {
        std::lock_guard lock(mutex_);
        return holder_;
    }

    // The device has gone (or its registration stops): no transfer starts
    // any more, and the pending ones are cancelled and end with kNotAttached.
    void markGone() {
        std::lock_guard lock(mutex_);
        gone_ = true;
        for (Pending* pending : pending_) {
            libusb_cancel_transfer(pending->transfer);
        }
    }

    // Marks the device gone, waits until every pending transfer has completed
    // (the event thread must still run) and every synchronous request has
    // returned, then releases the interface and closes the handle. Idempotent.
    void shutDown() {
        markGone();
        libusb_device_handle* handle;
        int claimed;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [&] { return pending_.empty() && busy_ == 0; });
            handle = handle_;
            claimed = claimed_;
            handle_ = nullptr;
            claimed_ = -1;
        }
        if (handle != nullptr) {
            if (claimed >= 0) {
                libusb_release_interface(handle, claimed);
            }
            libusb_close(handle);
        }
    }

  private:
    struct Pending {
        LibusbDevice* owner;
        libusb_transfer* transfer;
        uint8_t endpoint;
        bool done = false;
    };

    // Completion callback, on the event thread.
    static void LIBUSB_CALL completed(libusb_transfer* transfer) {
        auto* pending = static_cast<Pending*>(transfer->user_data);
        LibusbDevice* owner = pending->owner;
        std::lock_guard lock(owner->mutex_);
        pending->done = true;
        owner->changed_.notify_all();
    }

    // Submits the transfer and waits for its completion; frees it.
    uint32_t run(libusb_transfer* transfer, uint8_t endpoint, uint32_t* transferred) {
        std::unique_ptr<libusb_transfer, void (*)(libusb_transfer*)> owned(transfer,
                                                                           libusb_free_transfer);
        Pending pending{this, transfer, endpoint};
        std::unique_lock lock(mutex_);
        if (gone_ || handle_ == nullptr) {
            return kNotAttached;
        }
        transfer->dev_handle = handle_;
        transfer->user_data = &pending;
        // Submitted under the lock: an abort either sees the transfer pending
        // or comes after it ended.
        const int rc = libusb_submit_transfer(transfer);
        if (rc != LIBUSB_SUCCESS) {
            return statusOfError(rc);
        }
        pending_.push_back(&pending);
        changed_.wait(lock, [&] { return pending.done; });
        pending_.remove(&pending);
        changed_.notify_all();

        *transferred = static_cast<uint32_t>(std::max(transfer->actual_length, 0));
        switch (transfer->status) {
            case LIBUSB_TRANSFER_COMPLETED:
                return kOk;
            case LIBUSB_TRANSFER_TIMED_OUT:
                return kTimeout;
            case LIBUSB_TRANSFER_CANCELLED:
                return gone_ ? kNotAttached : kCancelled;
            case LIBUSB_TRANSFER_STALL:
                return kStalled;
            case LIBUSB_TRANSFER_NO_DEVICE:
                return kNotAttached;
            default:
                return kTransferFailed;
        }
    }

    // Runs a synchronous libusb request on the open handle, outside the lock
    // so that completions are not held up; shutDown waits for it.
    template <typename Request>
    uint32_t withHandle(Request&& request) {
        libusb_device_handle* handle;
        {
            std::lock_guard lock(mutex_);
            if (gone_ || handle_ == nullptr) {
                return kNotAttached;
            }
            handle = handle_;
            ++busy_;
        }
        const uint32_t status = request(handle);
        std::lock_guard lock(mutex_);
        --busy_;
        changed_.notify_all();
        return status;
    }

    const int interfaceNumber_;
    const uint32_t maxPacketSize_;
    const std::string node_;

    mutable std::mutex mutex_;  // guards everything below; never held while closing the handle
    std::condition_variable changed_;  // a transfer completed or a request returned
    libusb_device_handle* handle_;     // null once shut down
    bool gone_ = false;                // no new transfer or request may start
    int claimed_ = -1;                 // claimed interface, -1 if none
    std::list<Pending*> pending_;      // submitted transfers whose waiter has not returned
    int busy_ = 0;                     // synchronous requests running outside the lock
    std::string holder_;               // who held the interface when the claim was refused
};

class LibusbRegistration final : public Registration {
  public:
    LibusbRegistration(uint16_t vendorId, uint16_t productId, Notifications notifications)
        : vendorId_(vendorId), productId_(productId), notifications_(std::move(notifications)) {}

    ~LibusbRegistration() override { stop(); }

    // Creates the context, starts the threads and watches for the device.
    uint32_t start() {
        if (libusb_init(&context_) != LIBUSB_SUCCESS) {
            context_ = nullptr;
            return kDriverUnavailable;
        }
        eventThread_ = std::thread([this] { handleEvents(); });
        bool hotplug = false;
        if (!forcePolling && libusb_has_capability(LIBUSB_CAP_HAS_HOTPLUG)) {
            // With ENUMERATE, a device already present is reported at once,
            // from inside this call.
            const int rc = libusb_hotplug_register_callback(
                context_,
                static_cast<libusb_hotplug_event>(LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED |
                                                  LIBUSB_HOTPLUG_EVENT_DEVICE_LEFT),
                LIBUSB_HOTPLUG_ENUMERATE, vendorId_, productId_, LIBUSB_HOTPLUG_MATCH_ANY,
                &LibusbRegistration::hotplugEvent, this, &hotplugHandle_);
            hotplug = rc == LIBUSB_SUCCESS;
        }
        hotplugRegistered_ = hotplug;
        if (hotplug) {
            // The devices present were queued from inside the registration:
            // once the watch thread has handled them, the scan is complete.
            std::lock_guard lock(mutex_);
            queue_.push_back({QueuedEvent::Scanned, nullptr});
        }
        watchThread_ =
            std::thread([this, hotplug] { hotplug ? watchHotplug() : watchByPolling(); });
        return kOk;
    }

    void stop() override {
        std::lock_guard stopLock(stopMutex_);
        if (context_ == nullptr) {
            return;
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (watchThread_.joinable()) {
            watchThread_.join();
        }
        if (hotplugRegistered_) {
            libusb_hotplug_deregister_callback(context_, hotplugHandle_);
            hotplugRegistered_ = false;
        }
        // Transfers complete on the event thread, which therefore runs until
        // every device has drained.
        for (auto& [key, device] : devices_) {
            device->shutDown();
        }
        devices_.clear();
        eventsStopping_ = true;
        libusb_interrupt_event_handler(context_);
        if (eventThread_.joinable()) {
            eventThread_.join();
        }
        std::deque<QueuedEvent> queued;
        {
            std::lock_guard lock(mutex_);
            queued.swap(queue_);
        }
        for (QueuedEvent& event : queued) {
            if (event.device != nullptr) {
                libusb_unref_device(event.device);
            }
        }
        libusb_exit(context_);
        context_ = nullptr;
    }

  private:
    struct QueuedEvent {
        enum Kind { Arrived, Left, Scanned } kind;
        libusb_device* device;  // one reference held by the queue; null for Scanned
    };

    void handleEvents() {
        while (!eventsStopping_) {
            timeval limit{kEventTimeoutMs / 1000, (kEventTimeoutMs % 1000) * 1000};
            libusb_handle_events_timeout_completed(context_, &limit, nullptr);
        }
    }

    // Hotplug callback, on the event thread (or inside registration for
    // devices already present): queue the event for the watch thread.
    static int LIBUSB_CALL hotplugEvent(libusb_context*, libusb_device* device,
                                        libusb_hotplug_event event, void* userData) {
        auto* self = static_cast<LibusbRegistration*>(userData);
        {
            std::lock_guard lock(self->mutex_);
            if (self->stopping_) {
                return 0;
            }
            self->queue_.push_back({event == LIBUSB_HOTPLUG_EVENT_DEVICE_ARRIVED
                                        ? QueuedEvent::Arrived
                                        : QueuedEvent::Left,
                                    libusb_ref_device(device)});
        }
        self->wake_.notify_all();
        return 0;  // stay registered
    }

    void watchHotplug() {
        std::unique_lock lock(mutex_);
        while (true) {
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (stopping_) {
                return;
            }
            QueuedEvent event = queue_.front();
            queue_.pop_front();
            lock.unlock();
            if (event.kind == QueuedEvent::Scanned) {
                reportScan(arrivals_ > 0);
            } else if (event.kind == QueuedEvent::Arrived) {
                arrive(event.device);
            } else {
                leave(keyOf(event.device));
            }
            if (event.device != nullptr) {
                libusb_unref_device(event.device);
            }
            lock.lock();
        }
    }

    void watchByPolling() {
        std::unique_lock lock(mutex_);
        bool first = true;
        while (!stopping_) {
            lock.unlock();
            const bool present = pollDeviceList();
            if (first) {
                reportScan(present);
                first = false;
            }
            lock.lock();
            wake_.wait_for(lock, kPollInterval, [&] { return stopping_; });
        }
    }

    // Returns whether a matching device is on the bus.
    bool pollDeviceList() {
        libusb_device** list = nullptr;
        const ssize_t count = libusb_get_device_list(context_, &list);
        if (count < 0) {
            return false;
        }
        std::set<DeviceKey> present;
        for (ssize_t i = 0; i < count; ++i) {
            libusb_device_descriptor descriptor{};
            if (libusb_get_device_descriptor(list[i], &descriptor) == LIBUSB_SUCCESS &&
                descriptor.idVendor == vendorId_ && descriptor.idProduct == productId_) {
                present.insert(keyOf(list[i]));
                if (devices_.count(keyOf(list[i])) == 0 && rejected_.count(keyOf(list[i])) == 0) {
                    arrive(list[i]);
                }
            }
        }
        libusb_free_device_list(list, 1);
        std::vector<DeviceKey> gone;
        for (auto& [key, device] : devices_) {
            if (present.count(key) == 0) {
                gone.push_back(key);
            }
        }
        for (const DeviceKey& key : gone) {
            leave(key);
        }
        // A refused device is offered again once it has been unplugged.
        std::erase_if(rejected_, [&](const DeviceKey& key) { return present.count(key) == 0; });
        return !present.empty();
    }

    // On the watch thread, once: the devices present at registration have
    // all been offered or refused.
    void reportScan(bool found) {
        if (notifications_.scanned) {
            try {
                notifications_.scanned(found);
            } catch (...) {
            }
        }
    }

    // On the watch thread: open the device and offer it to the attach
    // notification.
    void arrive(libusb_device* usbDevice) {
        const DeviceKey key = keyOf(usbDevice);
        if (devices_.count(key) != 0) {
            return;
        }
        ++arrivals_;
        const std::string node = diagnostics::deviceNode(key.first, key.second);
        libusb_device_handle* handle = nullptr;
        const int rc = libusb_open(usbDevice, &handle);
        if (rc != LIBUSB_SUCCESS) {
            if (rc == LIBUSB_ERROR_ACCESS) {
                diagnostics::reportAccessDenied(node);
                if (notifications_.refused) {
                    try {
                        notifications_.refused(kAccessDenied, node);
                    } catch (...) {
                    }
                }
            }
            rejected_.insert(key);
            return;
        }
        // A kernel driver bound to the interface is set aside while we hold it.
        libusb_set_auto_detach_kernel_driver(handle, 1);

        // The active interface and the packet size of its first endpoint.
        int interfaceNumber = -1;
        uint32_t packetSize = 0;
        libusb_config_descriptor* config = nullptr;
        if (libusb_get_active_config_descriptor(usbDevice, &config) == LIBUSB_SUCCESS) {
            if (config->bNumInterfaces > 0 && config->interface[0].num_altsetting > 0) {
                const libusb_interface_descriptor& setting = config->interface[0].altsetting[0];
                interfaceNumber = setting.bInterfaceNumber;
                if (setting.bNumEndpoints > 0) {
                    packetSize = setting.endpoint[0].wMaxPacketSize & 0x7FF;
                }
            }
            libusb_free_config_descriptor(config);
        }
        auto device = std::make_shared<LibusbDevice>(handle, interfaceNumber, packetSize, node);
        bool accepted = false;
        if (interfaceNumber >= 0 && notifications_.attach) {
            try {
                accepted = notifications_.attach(device);
            } catch (...) {
                accepted = false;
            }
        }
        if (!accepted) {
            device->shutDown();
            rejected_.insert(key);
            return;
        }
        devices_.emplace(key, std::move(device));
    }

    // On the watch thread: the device has gone.
    void leave(const DeviceKey& key) {
        rejected_.erase(key);
        auto it = devices_.find(key);
        if (it == devices_.end()) {
            return;
        }
        std::shared_ptr<LibusbDevice> device = std::move(it->second);
        devices_.erase(it);
        device->markGone();
        if (notifications_.detach) {
            try {
                notifications_.detach(device);
            } catch (...) {
            }
        }
        device->shutDown();
    }

    const uint16_t vendorId_;
    const uint16_t productId_;
    const Notifications notifications_;

    std::mutex stopMutex_;               // serialises stop()
    libusb_context* context_ = nullptr;  // set by start(), cleared by stop()
    libusb_hotplug_callback_handle hotplugHandle_{};
    bool hotplugRegistered_ = false;  // written by start() and stop() only
    std::thread eventThread_;
    std::thread watchThread_;
    std::atomic<bool> eventsStopping_{false};

    std::mutex mutex_;  // guards stopping_ and queue_
    std::condition_variable wake_;
    bool stopping_ = false;
    std::deque<QueuedEvent> queue_;

    // Touched only by the watch thread, and by stop() after joining it.
    std::map<DeviceKey, std::shared_ptr<LibusbDevice>> devices_;
    std::set<DeviceKey> rejected_;  // devices refused or not openable while plugged in
    int arrivals_ = 0;              // matching devices offered or refused so far
};

}  // namespace

std::unique_ptr<Registration> registerNotifications(uint16_t vendorId, uint16_t productId,
                                                    Notifications notifications, uint32_t* status) {
    try {
        auto registration =
            std::make_unique<LibusbRegistration>(vendorId, productId, std::move(notifications));
        const uint32_t result = registration->start();
        if (status != nullptr) {
            *status = result;
        }
        if (result != kOk) {
            return nullptr;
        }
        return registration;
    } catch (const std::bad_alloc&) {
        if (status != nullptr) {
            *status = kNoMemory;
        }
    } catch (...) {
        if (status != nullptr) {
            *status = kDriverUnavailable;
        }
    }
    return nullptr;
}

namespace internal {

void setForcePolling(bool force) {
    forcePolling = force;
}

}  // namespace internal

}  // namespace usbpipe
