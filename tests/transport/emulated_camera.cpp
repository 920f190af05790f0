#include "emulated_camera.h"

#include <linux/usbdevice_fs.h>
#include <sys/ioctl.h>
#include <umockdev.h>

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <list>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>

#include "orkasim.h"

namespace emulated {

namespace {

using namespace std::chrono_literals;

constexpr uint8_t kBulkOut = 0x01;
constexpr uint8_t kBulkIn = 0x82;
constexpr int kBusNumber = 1;
// Beyond any transfer the host makes; a larger request is refused.
constexpr int kMaxUrbLength = 64 << 20;

std::string hex(const std::vector<uint8_t>& bytes) {
    std::string text;
    char digits[3];
    for (uint8_t byte : bytes) {
        std::snprintf(digits, sizeof digits, "%02x", byte);
        text += digits;
    }
    return text;
}

// Device, configuration, interface and the two bulk endpoints (512 bytes).
std::string descriptors() {
    const uint16_t vendor = orkasim::kVendorId;
    const uint16_t product = orkasim::kProductId;
    const uint16_t packet = orkasim::kMaxPacketSize;
    auto lo = [](uint16_t v) { return static_cast<uint8_t>(v & 0xFF); };
    auto hi = [](uint16_t v) { return static_cast<uint8_t>(v >> 8); };
    const std::vector<uint8_t> bytes = {
        // device: USB 2.0, class per interface, ep0 64 bytes, no strings
        18, 1, 0x00, 0x02, 0, 0, 0, 64, lo(vendor), hi(vendor), lo(product), hi(product), 0x00,
        0x01, 0, 0, 0, 1,
        // configuration 1: one interface, bus powered
        9, 2, 32, 0, 1, 1, 0, 0x80, 50,
        // interface 0, alternate setting 0, two endpoints, vendor class
        9, 4, 0, 0, 2, 0xFF, 0, 0, 0,
        // bulk out 0x01, bulk in 0x82
        7, 5, kBulkOut, 2, lo(packet), hi(packet), 0, 7, 5, kBulkIn, 2, lo(packet), hi(packet), 0};
    return hex(bytes);
}

int errnoOf(orkasim::UsbResult result) {
    switch (result) {
        case orkasim::UsbResult::Ok:
            return 0;
        case orkasim::UsbResult::Cancelled:
            return ENOENT;
        case orkasim::UsbResult::Stalled:
            return EPIPE;
        case orkasim::UsbResult::Timeout:
            return ETIMEDOUT;
        case orkasim::UsbResult::NoDevice:
        default:
            return ENODEV;
    }
}

// One submitted URB, from SUBMITURB until it has been reaped.
struct Urb {
    UMockdevIoctlClient* client = nullptr;  // the open node it was submitted on (ref held)
    UMockdevIoctlData* data = nullptr;      // resolved usbdevfs_urb (ref held)
    UMockdevIoctlData* buffer = nullptr;    // resolved transfer buffer (ref held)
    gulong address = 0;                     // the URB's address in the client
    uint8_t type = 0;
    uint8_t endpoint = 0;
    int length = 0;
    std::vector<uint8_t> bytes;  // OUT: the data sent; IN: the data received
    std::atomic<bool> cancel{false};
    int status = 0;  // completion status, a negative errno
    int actual = 0;

    ~Urb() {
        if (buffer != nullptr) {
            umockdev_ioctl_data_unref(buffer);
        }
        if (data != nullptr) {
            umockdev_ioctl_data_unref(data);
        }
        if (client != nullptr) {
            g_object_unref(client);
        }
    }
};

using UrbPtr = std::shared_ptr<Urb>;

}  // namespace

struct Camera::Impl {
    UMockdevTestbed* testbed = nullptr;
    UMockdevIoctlBase* handler = nullptr;

    mutable std::mutex mutex;  // guards everything below
    std::condition_variable changed;
    bool stopping = false;
    bool plugged = false;
    bool gone = false;  // unplugged: requests fail with ENODEV
    bool claimBusy = false;
    std::chrono::microseconds reapWait = 1500us;
    int deviceNumber = 1;
    std::string syspath;
    std::string node;
    std::deque<UrbPtr> outQueue;
    std::deque<UrbPtr> inQueue;
    UrbPtr currentOut;
    UrbPtr currentIn;
    std::list<UrbPtr> completed;  // waiting to be reaped, in completion order
    Counters counters;
    std::vector<unsigned long> unserved;

    std::thread outThread;
    std::thread inThread;

    // ---- service threads: the pipes, served by the protocol model ----

    void serveOut() {
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return stopping || !outQueue.empty(); });
            if (stopping) {
                return;
            }
            UrbPtr urb = outQueue.front();
            outQueue.pop_front();
            currentOut = urb;
            lock.unlock();
            // No time limit: the host cancels the URB when its own runs out.
            const orkasim::UsbResult result = orkasim::Camera::instance().bulkOut(
                urb->bytes.data(), urb->bytes.size(), 0, &urb->cancel);
            lock.lock();
            currentOut.reset();
            const bool ok = result == orkasim::UsbResult::Ok;
            finish(urb,
                   ok            ? 0
                   : urb->cancel ? ENOENT
                   : gone        ? ENODEV
                                 : errnoOf(result),
                   ok ? urb->length : 0);
        }
    }

    void serveIn() {
        std::unique_lock lock(mutex);
        while (true) {
            changed.wait(lock, [&] { return stopping || !inQueue.empty(); });
            if (stopping) {
                return;
            }
            UrbPtr urb = inQueue.front();
            inQueue.pop_front();
            currentIn = urb;
            lock.unlock();
            size_t received = 0;
            const orkasim::UsbResult result = orkasim::Camera::instance().bulkIn(
                urb->bytes.data(), urb->bytes.size(), 0, &received, &urb->cancel);
            lock.lock();
            currentIn.reset();
            finish(urb, errnoOf(result), static_cast<int>(std::min(received, urb->bytes.size())));
        }
    }

    // Precondition: mutex held.
    void finish(const UrbPtr& urb, int error, int actual) {
        urb->status = -error;
        urb->actual = actual;
        completed.push_back(urb);
        changed.notify_all();
    }

    // ---- usbdevfs requests, on umockdev's worker thread ----

    static gboolean onIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client, gpointer self) {
        static_cast<Impl*>(self)->handle(client);
        return TRUE;
    }

    template <typename T>
    static T* resolve(UMockdevIoctlData* arg, UMockdevIoctlData** holder, size_t size = sizeof(T)) {
        *holder = umockdev_ioctl_data_resolve(arg, 0, size, nullptr);
        return *holder != nullptr ? reinterpret_cast<T*>((*holder)->data) : nullptr;
    }

    void handle(UMockdevIoctlClient* client) {
        const gulong request = umockdev_ioctl_client_get_request(client);
        UMockdevIoctlData* arg = umockdev_ioctl_client_get_arg(client);
        UMockdevIoctlData* resolved = nullptr;
        long result = 0;
        int error = 0;

        std::unique_lock lock(mutex);
        // A device that has gone still hands back the URBs that were in
        // flight (completed with ENODEV), as the kernel does; nothing else.
        if (gone && request != USBDEVFS_REAPURBNDELAY && request != USBDEVFS_DISCARDURB) {
            umockdev_ioctl_client_complete(client, -1, ENODEV);
            return;
        }
        switch (request) {
            case USBDEVFS_GET_CAPABILITIES:
                if (auto* caps = resolve<uint32_t>(arg, &resolved)) {
                    // One URB per transfer, whatever its size.
                    *caps = USBDEVFS_CAP_BULK_SCATTER_GATHER | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                            USBDEVFS_CAP_ZERO_PACKET;
                }
                break;
            case USBDEVFS_CLAIMINTERFACE:
            case USBDEVFS_DISCONNECT_CLAIM: {
                const auto* number = resolve<uint32_t>(arg, &resolved);
                ++counters.claims;
                if (number == nullptr || *number != 0) {
                    result = -1, error = ENOENT;
                } else if (claimBusy) {
                    result = -1, error = EBUSY;
                }
                break;
            }
            case USBDEVFS_RELEASEINTERFACE:
                ++counters.releases;
                break;
            case USBDEVFS_SETINTERFACE: {
                const auto* setting = resolve<usbdevfs_setinterface>(arg, &resolved);
                if (setting == nullptr || setting->interface != 0 || setting->altsetting != 0) {
                    result = -1, error = EINVAL;
                }
                break;
            }
            case USBDEVFS_GETDRIVER:
            case USBDEVFS_IOCTL:
                result = -1, error = ENODATA;  // no kernel driver is bound
                break;
            case USBDEVFS_RESET:
                ++counters.resets;
                orkasim::Camera::instance().usbReset();
                break;
            case USBDEVFS_CLEAR_HALT: {
                const auto* endpoint = resolve<uint32_t>(arg, &resolved);
                ++counters.clearHalts;
                if (endpoint == nullptr || (*endpoint != kBulkOut && *endpoint != kBulkIn)) {
                    result = -1, error = ENOENT;
                }
                break;
            }
            case USBDEVFS_GET_SPEED:
                result = 3;  // high speed
                break;
            case USBDEVFS_SUBMITURB:
                error = submit(client, arg);
                result = error != 0 ? -1 : 0;
                break;
            case USBDEVFS_DISCARDURB:
                error = discard(client, arg);
                result = error != 0 ? -1 : 0;
                break;
            case USBDEVFS_REAPURBNDELAY:
                error = reap(client, arg, lock);
                result = error != 0 ? -1 : 0;
                break;
            default:
                unserved.push_back(request);
                result = -1, error = ENOTTY;
                break;
        }
        lock.unlock();
        if (resolved != nullptr) {
            umockdev_ioctl_data_unref(resolved);
        }
        umockdev_ioctl_client_complete(client, result, error);
    }

    // Precondition: mutex held. Returns an errno, 0 when queued.
    int submit(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        auto urb = std::make_shared<Urb>();
        urb->data = umockdev_ioctl_data_resolve(arg, 0, sizeof(usbdevfs_urb), nullptr);
        if (urb->data == nullptr) {
            return EFAULT;
        }
        auto* raw = reinterpret_cast<usbdevfs_urb*>(urb->data->data);
        if (raw->buffer_length < 0 || raw->buffer_length > kMaxUrbLength) {
            return EINVAL;
        }
        urb->client = static_cast<UMockdevIoctlClient*>(g_object_ref(client));
        urb->address = urb->data->client_addr;
        urb->type = raw->type;
        urb->endpoint = raw->endpoint;
        urb->length = raw->buffer_length;
        if (raw->buffer_length > 0) {
            urb->buffer =
                umockdev_ioctl_data_resolve(urb->data, offsetof(usbdevfs_urb, buffer),
                                            static_cast<size_t>(raw->buffer_length), nullptr);
            if (urb->buffer == nullptr) {
                return EFAULT;
            }
        }
        if (urb->type == USBDEVFS_URB_TYPE_CONTROL) {
            // The camera answers no control request: the endpoint stalls.
            ++counters.control;
            finish(urb, EPIPE, 0);
        } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkOut) {
            ++counters.bulkOut;
            if (urb->buffer != nullptr) {
                urb->bytes.assign(urb->buffer->data, urb->buffer->data + urb->length);
            }
            outQueue.push_back(urb);
        } else if (urb->type == USBDEVFS_URB_TYPE_BULK && urb->endpoint == kBulkIn) {
            ++counters.bulkIn;
            counters.bulkInLengths.push_back(static_cast<uint32_t>(urb->length));
            urb->bytes.resize(static_cast<size_t>(urb->length));
            inQueue.push_back(urb);
        } else {
            return ENOENT;
        }
        changed.notify_all();
        return 0;
    }

    // Precondition: mutex held.
    int discard(UMockdevIoctlClient* client, UMockdevIoctlData* arg) {
        ++counters.discards;
        const auto address = static_cast<gulong>(*reinterpret_cast<uintptr_t*>(arg->data));
        auto matches = [&](const UrbPtr& urb) {
            return urb && urb->client == client && urb->address == address;
        };
        for (auto* queue : {&outQueue, &inQueue}) {
            for (auto it = queue->begin(); it != queue->end(); ++it) {
                if (matches(*it)) {
                    UrbPtr urb = *it;
                    queue->erase(it);
                    finish(urb, ENOENT, 0);
                    return 0;
                }
            }
        }
        for (const UrbPtr& urb : {currentOut, currentIn}) {
            if (matches(urb)) {
                urb->cancel = true;
                orkasim::Camera::instance().wakeReaders();
                return 0;
            }
        }
        return EINVAL;  // already completed
    }

    // Precondition: mutex held (released while waiting).
    int reap(UMockdevIoctlClient* client, UMockdevIoctlData* arg,
             std::unique_lock<std::mutex>& lock) {
        auto ready = [&] {
            for (auto it = completed.begin(); it != completed.end(); ++it) {
                if ((*it)->client == client) {
                    return it;
                }
            }
            return completed.end();
        };
        changed.wait_for(lock, reapWait, [&] { return stopping || ready() != completed.end(); });
        auto it = ready();
        if (it == completed.end()) {
            return gone ? ENODEV : EAGAIN;
        }
        UrbPtr urb = *it;
        completed.erase(it);
        auto* raw = reinterpret_cast<usbdevfs_urb*>(urb->data->data);
        raw->status = urb->status;
        raw->actual_length = urb->actual;
        if (urb->endpoint & 0x80 && urb->buffer != nullptr && urb->actual > 0) {
            std::memcpy(urb->buffer->data, urb->bytes.data(), static_cast<size_t>(urb->actual));
        }
        UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(arg, 0, sizeof(void*), nullptr);
        if (pointer == nullptr) {
            return EFAULT;
        }
        // Written back to the client when the request completes.
        umockdev_ioctl_data_set_ptr(pointer, 0, urb->data);
        umockdev_ioctl_data_unref(pointer);
        return 0;
    }

    // Precondition: mutex held. The device has gone: every URB in flight
    // completes with ENODEV (those being served end when the simulated
    // camera is unplugged).
    void failInFlight() {
        for (auto* queue : {&outQueue, &inQueue}) {
            for (const UrbPtr& urb : *queue) {
                finish(urb, ENODEV, 0);
            }
            queue->clear();
        }
    }

    // Precondition: mutex held. Forgets every URB (a new device, or the end).
    void dropUrbs() {
        outQueue.clear();
        inQueue.clear();
        completed.clear();
        for (const UrbPtr& urb : {currentIn, currentOut}) {
            if (urb) {
                urb->cancel = true;
            }
        }
    }
};

Camera::Camera() : impl_(std::make_unique<Impl>()) {
    if (!underUmockdev()) {
        throw std::runtime_error("the emulated camera needs umockdev-wrapper");
    }
    impl_->testbed = umockdev_testbed_new();
    impl_->handler = umockdev_ioctl_base_new();
    g_signal_connect(impl_->handler, "handle-ioctl", G_CALLBACK(&Impl::onIoctl), impl_.get());
    impl_->outThread = std::thread([this] { impl_->serveOut(); });
    impl_->inThread = std::thread([this] { impl_->serveIn(); });
}

Camera::~Camera() {
    if (plugged()) {
        unplug();
    }
    {
        std::lock_guard lock(impl_->mutex);
        impl_->stopping = true;
        impl_->dropUrbs();
        impl_->changed.notify_all();
    }
    orkasim::Camera::instance().wakeReaders();
    impl_->outThread.join();
    impl_->inThread.join();
    {
        std::lock_guard lock(impl_->mutex);
        impl_->currentIn.reset();
        impl_->currentOut.reset();
        impl_->completed.clear();
    }
    g_object_unref(impl_->handler);
    g_object_unref(impl_->testbed);
}

bool Camera::underUmockdev() {
    // umockdev_in_mock_environment() answers false under umockdev-wrapper on
    // these machines; the wrapper's preload is what matters.
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

void Camera::plug() {
    char node[64];
    std::string description;
    {
        std::lock_guard lock(impl_->mutex);
        if (impl_->plugged) {
            return;
        }
        ++impl_->deviceNumber;
        std::snprintf(node, sizeof node, "/dev/bus/usb/%03d/%03d", kBusNumber, impl_->deviceNumber);
        impl_->node = node;
        impl_->gone = false;
        impl_->dropUrbs();
        char text[1024];
        std::snprintf(text, sizeof text,
                      "P: /devices/pci0000:00/0000:00:14.0/usb%d/%d-1\n"
                      "N: %s\n"
                      "E: SUBSYSTEM=usb\n"
                      "E: DEVTYPE=usb_device\n"
                      "E: DRIVER=usb\n"
                      "E: BUSNUM=%03d\n"
                      "E: DEVNUM=%03d\n"
                      "E: DEVNAME=%s\n"
                      "E: PRODUCT=%x/%x/100\n"
                      "A: busnum=%d\\n\n"
                      "A: devnum=%d\\n\n"
                      "A: idVendor=%04x\\n\n"
                      "A: idProduct=%04x\\n\n"
                      "A: speed=480\\n\n"
                      "A: bConfigurationValue=1\\n\n"
                      "A: bNumConfigurations=1\\n\n"
                      "H: descriptors=%s\n",
                      kBusNumber, kBusNumber, node + 5, kBusNumber, impl_->deviceNumber, node,
                      orkasim::kVendorId, orkasim::kProductId, kBusNumber, impl_->deviceNumber,
                      orkasim::kVendorId, orkasim::kProductId, descriptors().c_str());
        description = text;
    }
    orkasim::Camera::instance().replug();
    GError* error = nullptr;
    // The handler first, so that the node can be opened as soon as "add" is seen.
    if (!umockdev_testbed_attach_ioctl(impl_->testbed, node, impl_->handler, &error) ||
        !umockdev_testbed_add_from_string(impl_->testbed, description.c_str(), &error)) {
        const std::string message = error != nullptr ? error->message : "unknown error";
        g_clear_error(&error);
        throw std::runtime_error("umockdev: " + message);
    }
    const std::string syspath = std::string("/sys/devices/pci0000:00/0000:00:14.0/usb") +
                                std::to_string(kBusNumber) + "/" + std::to_string(kBusNumber) +
                                "-1";
    {
        std::lock_guard lock(impl_->mutex);
        impl_->syspath = syspath;
        impl_->plugged = true;
    }
    umockdev_testbed_uevent(impl_->testbed, syspath.c_str(), "add");
}

void Camera::unplug() {
    std::string syspath;
    std::string node;
    {
        std::lock_guard lock(impl_->mutex);
        if (!impl_->plugged) {
            return;
        }
        impl_->plugged = false;
        impl_->gone = true;
        impl_->failInFlight();
        impl_->changed.notify_all();
        syspath = impl_->syspath;
        node = impl_->node;
    }
    orkasim::Camera::instance().unplug();
    umockdev_testbed_uevent(impl_->testbed, syspath.c_str(), "remove");
    umockdev_testbed_remove_device(impl_->testbed, syspath.c_str());
    umockdev_testbed_detach_ioctl(impl_->testbed, node.c_str(), nullptr);
}

bool Camera::plugged() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->plugged;
}

std::string Camera::node() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->node;
}

void Camera::setClaimBusy(bool busy) {
    std::lock_guard lock(impl_->mutex);
    impl_->claimBusy = busy;
}

void Camera::setReapWait(std::chrono::microseconds wait) {
    std::lock_guard lock(impl_->mutex);
    impl_->reapWait = wait;
}

Camera::Counters Camera::counters() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->counters;
}

void Camera::clearCounters() {
    std::lock_guard lock(impl_->mutex);
    impl_->counters = Counters{};
}

int Camera::inFlight() const {
    std::lock_guard lock(impl_->mutex);
    return static_cast<int>(impl_->outQueue.size() + impl_->inQueue.size() +
                            impl_->completed.size() + (impl_->currentIn ? 1 : 0) +
                            (impl_->currentOut ? 1 : 0));
}

std::vector<unsigned long> Camera::unservedRequests() const {
    std::lock_guard lock(impl_->mutex);
    return impl_->unserved;
}

}  // namespace emulated
