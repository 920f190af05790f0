#include "fake_transport.h"

#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <deque>
#include <mutex>

#include "usbpipe.h"

namespace fakecam {

namespace {

// Lock rule: everything below is guarded by `mutex`.
struct State {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Bytes> transfers;
    bool present = true;
    bool cancelled = false;
    bool reading = false;
    bool closed = false;      // the device was closed: reads fail until the next open
    bool loseCancel = false;  // the next cancel comes before the read it was meant for
    std::vector<Bytes> written;
    std::function<void(const Bytes&)> responder;
    size_t overreach = 0;
    bool frontStarted = false;  // the first transfer has been partly read
    bool aliasing = false;
    std::vector<uint32_t> handles;  // from the library's FileOpen replies
};

State& state() {
    static State* const s = new State;
    return *s;
}

int handle = 0;  // its address is the device handle

void defaultResponder(const Bytes& command) {
    if (command.size() >= 12 && (command[4] | command[5] << 8) < 0x2000) {
        answerWithStatus(command, 0);
    }
}

}  // namespace

Bytes packet(uint16_t code, uint32_t transaction, const Bytes& payload) {
    Bytes p(12);
    const uint32_t length = static_cast<uint32_t>(12 + payload.size());
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(length >> (8 * i));
        p[8 + i] = static_cast<uint8_t>(transaction >> (8 * i));
    }
    p[4] = static_cast<uint8_t>(code);
    p[5] = static_cast<uint8_t>(code >> 8);
    p.insert(p.end(), payload.begin(), payload.end());
    return p;
}

void answerWithStatus(const Bytes& command, uint16_t status) {
    const uint16_t code = static_cast<uint16_t>(command[4] | command[5] << 8);
    const uint32_t number =
        static_cast<uint32_t>(command[8] | command[9] << 8 | command[10] << 16 | command[11] << 24);
    queue(packet(code, number, {static_cast<uint8_t>(status), static_cast<uint8_t>(status >> 8)}));
}

void reset() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.transfers.clear();
    s.written.clear();
    s.present = true;
    s.cancelled = false;
    s.closed = false;
    s.loseCancel = false;
    s.responder = defaultResponder;
    s.overreach = 0;
    s.frontStarted = false;
    s.aliasing = false;
    s.handles.clear();
    s.changed.notify_all();
}

void aliasSmallHandles(bool on) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.aliasing = on;
}

void queue(const Bytes& transfer, int pieces) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (pieces <= 1 || transfer.size() < 2) {
        s.transfers.push_back(transfer);
    } else {
        const size_t step = std::max<size_t>(1, transfer.size() / static_cast<size_t>(pieces));
        for (size_t at = 0; at < transfer.size(); at += step) {
            const size_t end = std::min(transfer.size(), at + step);
            s.transfers.emplace_back(transfer.begin() + at, transfer.begin() + end);
        }
    }
    s.changed.notify_all();
}

void unplug() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.present = false;
    s.changed.notify_all();
}

bool drained() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.transfers.empty() && s.reading;
}

bool waitDrained(int ms) {
    State& s = state();
    std::unique_lock lock(s.mutex);
    return s.changed.wait_for(lock, std::chrono::milliseconds(ms),
                              [&] { return (s.transfers.empty() && s.reading) || !s.present; });
}

std::vector<Bytes> written() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.written;
}

void setResponder(std::function<void(const Bytes&)> responder) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.responder = std::move(responder);
}

void loseNextCancel() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.loseCancel = true;
}

size_t worstOverreach() {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.overreach;
}

}  // namespace fakecam

using namespace fakecam;

int32_t usbNativeInit(void) {
    return 0;
}

void* usbNativeOpen(int32_t, int32_t, int32_t) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.cancelled = false;
    s.closed = false;
    return s.present ? &handle : nullptr;
}

void* usbNativeClose(void*) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    s.closed = true;
    s.changed.notify_all();
    return nullptr;
}

int32_t usbNativeCountDev(int32_t, int32_t) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    return s.present ? 1 : 0;
}

int32_t usbNativeDeviceReset(void*) {
    return 0;
}

int32_t usbNativeWriteControl(void*, const void*, int32_t length) {
    return length;
}

int32_t usbNativeWriteBulk(void* device, const void* buffer, int32_t, int32_t length) {
    if (device != &handle || buffer == nullptr || length <= 0) {
        return -1;
    }
    State& s = state();
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    Bytes packet(bytes, bytes + length);
    std::function<void(const Bytes&)> responder;
    {
        std::lock_guard lock(s.mutex);
        if (!s.present) {
            return -1;
        }
        s.written.push_back(packet);
        if (packet.size() >= 20 && (packet[4] | packet[5] << 8) == 0x200A) {
            s.handles.push_back(static_cast<uint32_t>(packet[16] | packet[17] << 8 |
                                                      packet[18] << 16 | packet[19] << 24));
        }
        responder = s.responder;
    }
    if (responder) {
        responder(packet);
    }
    return length;
}

int32_t usbNativeReadBulk(void* device, void* buffer, int32_t offset, int32_t length) {
    if (device != &handle || buffer == nullptr || offset < 0 || length <= 0) {
        return -1;
    }
    State& s = state();
    std::unique_lock lock(s.mutex);
    s.reading = true;
    s.changed.notify_all();
    s.changed.wait(lock,
                   [&] { return !s.transfers.empty() || !s.present || s.cancelled || s.closed; });
    s.reading = false;
    if (s.cancelled || s.closed) {
        s.cancelled = false;
        return -1;
    }
    if (s.transfers.empty()) {
        return -1;  // unplugged
    }
    Bytes& next = s.transfers.front();
    if (s.aliasing && !s.frontStarted && next.size() >= 16) {
        const int code = next[4] | next[5] << 8;
        const uint32_t quoted = next[12] | next[13] << 8 | next[14] << 16 | next[15] << 24;
        if ((code == 0x200B || code == 0x200C) && quoted >= 1 && quoted <= 8 &&
            quoted <= s.handles.size()) {
            const uint32_t real = s.handles[quoted - 1];
            for (int i = 0; i < 4; ++i) {
                next[12 + i] = static_cast<uint8_t>(real >> (8 * i));
            }
        }
    }
    const size_t n = std::min(next.size(), static_cast<size_t>(length));
    if (offset > 0) {
        // Continuation reads go into the library's heap buffer: a request
        // reaching past the block is a write the real transport could make.
        const size_t block = malloc_usable_size(buffer);
        const size_t reach = static_cast<size_t>(offset) + static_cast<size_t>(length);
        if (reach > block) {
            s.overreach = std::max(s.overreach, reach - block);
        }
    }
    if (n > 0) {
        std::memcpy(static_cast<uint8_t*>(buffer) + offset, next.data(), n);
    }
    next.erase(next.begin(), next.begin() + static_cast<std::ptrdiff_t>(n));
    s.frontStarted = !next.empty();
    if (next.empty()) {
        s.transfers.pop_front();
    }
    s.changed.notify_all();
    return static_cast<int32_t>(n);
}

int32_t usbNativeStopWriteBulk(void*) {
    return 0;
}

int32_t usbNativeStopReadBulk(void*) {
    State& s = state();
    std::lock_guard lock(s.mutex);
    if (s.loseCancel) {
        s.loseCancel = false;
    } else if (s.reading) {
        s.cancelled = true;
    }
    s.changed.notify_all();
    return 0;
}

int32_t usbNativeResetWriteBulk(void*) {
    return 0;
}

int32_t usbNativeResetReadBulk(void*) {
    return 0;
}
