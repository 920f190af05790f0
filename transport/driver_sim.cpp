// Driver layer over the simulated camera (libOrkaSim.so): the camera's plug
// listener becomes attach and detach notifications delivered on an event
// thread of the registration, and bulk transfers go to the camera's pipes.
// A program drives the simulated camera through orkasim.h (it links the
// simulator, see cmake/OrkaSimulated.cmake); this library exports the
// transport's functions only.
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <thread>

#include "driver.h"
#include "orkasim.h"

namespace usbpipe {

namespace {

constexpr uint8_t kBulkOut = 0x01;
constexpr uint8_t kBulkIn = 0x82;

using Access = orkasim::Camera::HostAccess;
// The device node the simulated camera would have.
constexpr const char* kSimNode = "/dev/bus/usb/001/002";

uint32_t toStatus(orkasim::UsbResult result) {
    switch (result) {
        case orkasim::UsbResult::Ok:
            return kOk;
        case orkasim::UsbResult::NoDevice:
            return kNotAttached;
        case orkasim::UsbResult::Timeout:
            return kTimeout;
        case orkasim::UsbResult::Cancelled:
            return kCancelled;
        case orkasim::UsbResult::Stalled:
            return kStalled;
    }
    return kTransferFailed;
}

// The camera as one attachment: after detach every operation fails.
class SimDevice : public Device {
  public:
    // heldBy: another program has claimed the interface (its name).
    explicit SimDevice(std::optional<std::string> heldBy) : heldBy_(std::move(heldBy)) {}

    int interfaceNumber() const override { return 0; }
    uint32_t maxPacketSize() const override { return orkasim::kMaxPacketSize; }

    uint32_t selectInterface(int interfaceNumber, int alternateSetting) override {
        if (detached())
            return kNotAttached;
        if (heldBy_)
            return kBusy;
        return interfaceNumber == 0 && alternateSetting == 0 ? kOk : kStalled;
    }

    std::string holder() const override { return heldBy_.value_or(std::string()); }

    uint32_t bulkTransfer(uint8_t endpoint, void* buffer, uint32_t length, uint32_t timeoutMs,
                          uint32_t* transferred) override {
        if (transferred)
            *transferred = 0;
        if (endpoint != kBulkOut && endpoint != kBulkIn)
            return kStalled;
        if (length > 0 && buffer == nullptr)
            return kTransferFailed;
        Pending pending(*this, endpoint);
        if (!pending.registered)
            return kNotAttached;
        orkasim::Camera& camera = orkasim::Camera::instance();
        if (endpoint == kBulkOut) {
            const auto result = camera.bulkOut(static_cast<const uint8_t*>(buffer), length,
                                               timeoutMs, &pending.cancel);
            if (result == orkasim::UsbResult::Ok && transferred)
                *transferred = length;
            return toStatus(result);
        }
        size_t got = 0;
        const auto result =
            camera.bulkIn(static_cast<uint8_t*>(buffer), length, timeoutMs, &got, &pending.cancel);
        if (transferred)
            *transferred = static_cast<uint32_t>(got);
        return toStatus(result);
    }

    uint32_t controlTransfer(const uint8_t* /*setup*/, const void* /*buffer*/, uint32_t length,
                             uint32_t /*timeoutMs*/, uint32_t* transferred) override {
        // The camera accepts and ignores control writes.
        if (transferred)
            *transferred = 0;
        if (detached())
            return kNotAttached;
        if (!orkasim::Camera::instance().plugged())
            return kNotAttached;
        if (transferred)
            *transferred = length;
        return kOk;
    }

    void abortPipe(uint8_t endpoint) override {
        cancel([endpoint](uint8_t e) { return e == endpoint; });
    }
    void resetPipe(uint8_t /*pipe*/) override {}
    void resetDevice() override {
        if (!detached())
            orkasim::Camera::instance().usbReset();
    }

    // The camera has gone: fail from now on and cancel what is pending.
    void markDetached() {
        {
            std::lock_guard lock(mutex_);
            detached_ = true;
        }
        cancel([](uint8_t) { return true; });
    }

  private:
    // A transfer in progress, registered so that abortPipe and detach can
    // cancel it.
    struct Pending {
        Pending(SimDevice& device, uint8_t endpoint) : device(device), endpoint(endpoint) {
            std::lock_guard lock(device.mutex_);
            registered = !device.detached_;
            if (registered)
                device.pending_.insert(this);
        }
        ~Pending() {
            std::lock_guard lock(device.mutex_);
            device.pending_.erase(this);
        }
        SimDevice& device;
        uint8_t endpoint;
        bool registered = false;
        std::atomic<bool> cancel{false};
    };

    bool detached() const {
        std::lock_guard lock(mutex_);
        return detached_;
    }

    template <typename Match>
    void cancel(Match match) {
        {
            std::lock_guard lock(mutex_);
            for (Pending* p : pending_) {
                if (match(p->endpoint))
                    p->cancel = true;
            }
        }
        orkasim::Camera::instance().wakeReaders();
    }

    const std::optional<std::string> heldBy_;
    mutable std::mutex mutex_;
    bool detached_ = false;       // guarded by mutex_
    std::set<Pending*> pending_;  // guarded by mutex_
};

class SimRegistration : public Registration {
  public:
    // matches: the registration's identifiers are the camera's (nothing else
    // is on the simulated bus).
    SimRegistration(Notifications notifications, bool matches)
        : notifications_(std::move(notifications)), matches_(matches) {
        orkasim::Camera& camera = orkasim::Camera::instance();
        listenerId_ = camera.addPlugListener([this](bool plugged) { onPlug(plugged); });
        // A camera already on the bus is reported like a fresh attach, and
        // then the scan is complete.
        const bool present = matches_ && camera.plugged();
        if (present)
            post(Event::Attach);
        scanFound_ = present;
        post(Event::Scanned);
        thread_ = std::thread([this] { run(); });
    }

    ~SimRegistration() override { stop(); }

    void stop() override {
        if (listenerId_ != 0) {
            // Waits for a plug listener call in progress.
            orkasim::Camera::instance().removePlugListener(listenerId_);
            listenerId_ = 0;
        }
        {
            std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
        std::shared_ptr<SimDevice> device;
        {
            std::lock_guard lock(mutex_);
            device.swap(device_);
            events_.clear();
        }
        if (device)
            device->markDetached();
    }

  private:
    // Runs on the thread that plugs or unplugs the camera.
    void onPlug(bool plugged) {
        if (!plugged) {
            // Transfers must fail at once, before the event thread runs.
            std::shared_ptr<SimDevice> device;
            {
                std::lock_guard lock(mutex_);
                device = device_;
            }
            if (device)
                device->markDetached();
        }
        post(plugged ? Event::Attach : Event::Detach);
    }

    enum class Event { Attach, Detach, Scanned };

    void post(Event event) {
        {
            std::lock_guard lock(mutex_);
            if (stopping_)
                return;
            events_.push_back(event);
        }
        wake_.notify_all();
    }

    void run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stopping_ || !events_.empty(); });
            if (stopping_)
                return;
            const Event event = events_.front();
            events_.pop_front();
            if (event == Event::Scanned) {
                lock.unlock();
                if (notifications_.scanned)
                    notifications_.scanned(scanFound_);
                lock.lock();
            } else if (event == Event::Attach) {
                if (!matches_ || device_ || !orkasim::Camera::instance().plugged())
                    continue;
                std::string holder;
                const Access access = orkasim::Camera::instance().hostAccess(&holder);
                if (access == Access::Denied) {
                    lock.unlock();
                    if (notifications_.refused)
                        notifications_.refused(kAccessDenied, kSimNode);
                    lock.lock();
                    continue;
                }
                auto device = std::make_shared<SimDevice>(
                    access == Access::Held ? std::optional<std::string>(holder) : std::nullopt);
                device_ = device;
                lock.unlock();
                const bool accepted = notifications_.attach && notifications_.attach(device);
                lock.lock();
                if (!accepted) {
                    device->markDetached();
                    if (device_ == device)
                        device_.reset();
                }
            } else {
                std::shared_ptr<SimDevice> device;
                device.swap(device_);
                if (!device)
                    continue;
                device->markDetached();
                lock.unlock();
                if (notifications_.detach)
                    notifications_.detach(device);
                lock.lock();
            }
        }
    }

    Notifications notifications_;
    const bool matches_;
    bool scanFound_ = false;  // set before the event thread starts
    int listenerId_ = 0;
    std::mutex mutex_;
    std::condition_variable wake_;
    // Guarded by mutex_: pending events, the device currently attached, the
    // stop flag.
    std::deque<Event> events_;
    std::shared_ptr<SimDevice> device_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

std::unique_ptr<Registration> registerNotifications(uint16_t vendorId, uint16_t productId,
                                                    Notifications notifications, uint32_t* status) {
    // Nothing else is on the simulated bus: a registration for other
    // identifiers never reports a device.
    const bool matches = vendorId == orkasim::kVendorId && productId == orkasim::kProductId;
    if (status)
        *status = kOk;
    return std::make_unique<SimRegistration>(std::move(notifications), matches);
}

}  // namespace usbpipe
