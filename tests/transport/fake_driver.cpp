// The driver layer (driver.h) as a script: linked into the export-layer
// tests instead of the libusb or simulated driver.
#include "fake_driver.h"

#include <algorithm>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "driver.h"

namespace fakebus {

namespace {

using namespace usbpipe;

class FakeRegistration;

constexpr const char* kNode = "/dev/bus/usb/001/007";

struct State {
    std::mutex mutex;  // guards every field, and the `gone_`/`aborts_` of every device
    std::condition_variable changed;
    bool present = true;
    uint32_t packetSize = 64;
    int interfaceNumber = 0;
    uint32_t selectStatus = kOk;
    std::string holder;
    bool accessDenied = false;
    bool notReady = false;
    bool throwOnTransfer = false;
    std::deque<std::vector<uint8_t>> in;
    std::vector<Call> calls;
    int blockedReads = 0;
    std::vector<FakeRegistration*> registrations;
};

State& state() {
    static State instance;
    return instance;
}

Call makeCall(Call::Kind kind, uint8_t endpoint = 0, const void* buffer = nullptr,
              uint32_t length = 0, uint32_t timeoutMs = 0) {
    Call call;
    call.kind = kind;
    call.endpoint = endpoint;
    call.buffer = buffer;
    call.length = length;
    call.timeoutMs = timeoutMs;
    return call;
}

class FakeDevice final : public Device {
  public:
    FakeDevice(int interfaceNumber, uint32_t packetSize)
        : interfaceNumber_(interfaceNumber), packetSize_(packetSize) {}

    int interfaceNumber() const override { return interfaceNumber_; }
    uint32_t maxPacketSize() const override { return packetSize_; }

    uint32_t selectInterface(int, int) override {
        std::lock_guard lock(state().mutex);
        return state().selectStatus;
    }

    std::string holder() const override {
        std::lock_guard lock(state().mutex);
        return state().holder;
    }

    uint32_t bulkTransfer(uint8_t endpoint, void* buffer, uint32_t length, uint32_t timeoutMs,
                          uint32_t* transferred) override {
        *transferred = 0;
        State& s = state();
        std::unique_lock lock(s.mutex);
        if (s.throwOnTransfer) {
            throw std::bad_alloc();
        }
        Call call = makeCall(Call::Bulk, endpoint, buffer, length, timeoutMs);
        if ((endpoint & 0x80) == 0) {
            const auto* bytes = static_cast<const uint8_t*>(buffer);
            call.data.assign(bytes, bytes + length);
        }
        s.calls.push_back(std::move(call));
        if (gone_) {
            return kNotAttached;
        }
        if ((endpoint & 0x80) == 0) {
            *transferred = length;
            return kOk;
        }
        const uint64_t abortsSeen = aborts_;
        auto ready = [&] { return gone_ || aborts_ != abortsSeen || !s.in.empty(); };
        if (!ready()) {
            ++s.blockedReads;
            s.changed.notify_all();
            s.changed.wait(lock, ready);
            --s.blockedReads;
        }
        if (gone_) {
            return kNotAttached;
        }
        if (aborts_ != abortsSeen) {
            return kCancelled;
        }
        std::vector<uint8_t>& front = s.in.front();
        const size_t count = std::min<size_t>(length, front.size());
        std::memcpy(buffer, front.data(), count);
        if (count < front.size()) {
            front.erase(front.begin(), front.begin() + static_cast<std::ptrdiff_t>(count));
        } else {
            s.in.pop_front();
        }
        *transferred = static_cast<uint32_t>(count);
        return kOk;
    }

    uint32_t controlTransfer(const uint8_t setup[8], const void* buffer, uint32_t length,
                             uint32_t timeoutMs, uint32_t* transferred) override {
        State& s = state();
        std::lock_guard lock(s.mutex);
        Call call = makeCall(Call::Control, 0, buffer, length, timeoutMs);
        std::copy(setup, setup + 8, call.setup.begin());
        s.calls.push_back(std::move(call));
        *transferred = gone_ ? 0 : length;
        return gone_ ? kNotAttached : kOk;
    }

    void abortPipe(uint8_t endpoint) override {
        State& s = state();
        std::lock_guard lock(s.mutex);
        s.calls.push_back(makeCall(Call::Abort, endpoint));
        if (endpoint & 0x80) {
            ++aborts_;
            s.changed.notify_all();
        }
    }

    void resetPipe(uint8_t pipe) override {
        std::lock_guard lock(state().mutex);
        state().calls.push_back(makeCall(Call::ResetPipe, pipe));
    }

    void resetDevice() override {
        std::lock_guard lock(state().mutex);
        state().calls.push_back(makeCall(Call::ResetDevice));
    }

    void markGone() {
        std::lock_guard lock(state().mutex);
        gone_ = true;
        state().changed.notify_all();
    }

  private:
    const int interfaceNumber_;
    const uint32_t packetSize_;
    bool gone_ = false;    // guarded by State::mutex
    uint64_t aborts_ = 0;  // guarded by State::mutex
};

class FakeRegistration final : public Registration {
  public:
    explicit FakeRegistration(Notifications notifications)
        : notifications_(std::move(notifications)) {
        {
            std::lock_guard lock(state().mutex);
            state().registrations.push_back(this);
            state().changed.notify_all();
        }
        // The device already present is reported from another thread, as a
        // driver's event thread would.
        initial_ = std::thread([this] { scan(); });
    }

    ~FakeRegistration() override { stop(); }

    void stop() override {
        {
            std::lock_guard lock(callbacks_);
            if (stopped_) {
                return;
            }
            stopped_ = true;
        }
        initial_.join();
        if (held_) {
            held_->markGone();
            held_.reset();
        }
        State& s = state();
        std::lock_guard lock(s.mutex);
        std::erase(s.registrations, this);
    }

    // The devices on the bus at registration, then the end of the scan.
    void scan() {
        bool present, denied, notReady;
        {
            std::lock_guard lock(state().mutex);
            present = state().present;
            denied = state().accessDenied;
            notReady = state().notReady;
        }
        if (present && denied) {
            std::lock_guard lock(callbacks_);
            if (!stopped_ && notifications_.refused)
                notifications_.refused(kAccessDenied, kNode);
        } else if (present && !notReady) {
            offer();
        }
        std::lock_guard lock(callbacks_);
        if (!stopped_ && notifications_.scanned)
            notifications_.scanned(present);
    }

    void offer() {
        std::lock_guard lock(callbacks_);
        std::shared_ptr<FakeDevice> device;
        {
            State& s = state();
            std::lock_guard stateLock(s.mutex);
            if (stopped_ || held_ || !s.present) {
                return;
            }
            device = std::make_shared<FakeDevice>(s.interfaceNumber, s.packetSize);
        }
        if (notifications_.attach(device)) {
            held_ = device;
        } else {
            device->markGone();
        }
    }

    void withdraw() {
        std::lock_guard lock(callbacks_);
        if (stopped_ || !held_) {
            return;
        }
        held_->markGone();
        notifications_.detach(held_);
        held_.reset();
    }

  private:
    const Notifications notifications_;
    std::thread initial_;
    std::mutex callbacks_;  // serialises callbacks with stop(); guards stopped_ and held_
    bool stopped_ = false;
    std::shared_ptr<FakeDevice> held_;
};

std::vector<FakeRegistration*> registrations() {
    std::lock_guard lock(state().mutex);
    return state().registrations;
}

}  // namespace

void reset() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.present = true;
    s.packetSize = 64;
    s.interfaceNumber = 0;
    s.selectStatus = kOk;
    s.holder.clear();
    s.accessDenied = false;
    s.notReady = false;
    s.throwOnTransfer = false;
    s.in.clear();
    s.calls.clear();
}

template <typename T>
static void set(T State::*field, T value) {
    std::lock_guard lock(state().mutex);
    state().*field = value;
}

void setPresent(bool present) {
    set(&State::present, present);
}
void setPacketSize(uint32_t size) {
    set(&State::packetSize, size);
}
void setInterfaceNumber(int number) {
    set(&State::interfaceNumber, number);
}
void setSelectStatus(uint32_t status) {
    set(&State::selectStatus, status);
}
void setHolder(std::string holder) {
    set(&State::holder, std::move(holder));
}
void setAccessDenied(bool denied) {
    set(&State::accessDenied, denied);
}
void setNotReady(bool notReady) {
    set(&State::notReady, notReady);
}
void setThrowOnTransfer(bool enabled) {
    set(&State::throwOnTransfer, enabled);
}

void queueIn(std::vector<uint8_t> transfer) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.in.push_back(std::move(transfer));
    s.changed.notify_all();
}

void unplug() {
    setPresent(false);
    for (FakeRegistration* registration : registrations()) {
        registration->withdraw();
    }
}

void replug() {
    setPresent(true);
    for (FakeRegistration* registration : registrations()) {
        registration->offer();
    }
}

std::vector<Call> calls() {
    std::lock_guard lock(state().mutex);
    return state().calls;
}

void clearCalls() {
    std::lock_guard lock(state().mutex);
    state().calls.clear();
}

int liveRegistrations() {
    std::lock_guard lock(state().mutex);
    return static_cast<int>(state().registrations.size());
}

bool waitForRegistrations(int count, std::chrono::milliseconds limit) {
    State& s = state();
    std::unique_lock lock(s.mutex);
    return s.changed.wait_for(lock, limit,
                              [&] { return static_cast<int>(s.registrations.size()) == count; });
}

bool waitForBlockedRead(std::chrono::milliseconds limit) {
    State& s = state();
    std::unique_lock lock(s.mutex);
    return s.changed.wait_for(lock, limit, [&] { return s.blockedReads > 0; });
}

}  // namespace fakebus

namespace usbpipe {

std::unique_ptr<Registration> registerNotifications(uint16_t, uint16_t, Notifications notifications,
                                                    uint32_t* status) {
    *status = kOk;
    return std::make_unique<fakebus::FakeRegistration>(std::move(notifications));
}

}  // namespace usbpipe
