#include "commands.h"

#include <atomic>

#include "connection.h"
#include "packets.h"
#include "usbpipe.h"

namespace fotolien {

namespace {

// Reply numbers continue across connections for the life of the library.
std::atomic<uint32_t> lastReplyNumber{kLastCommandNumber};

uint32_t takeReplyNumber() {
    uint32_t current = lastReplyNumber.load();
    while (!lastReplyNumber.compare_exchange_weak(current, nextReplyNumber(current))) {
    }
    return nextReplyNumber(current);
}

bool freeLinkLocked(Connection& c, std::unique_lock<std::mutex>& lock) {
    const auto deadline = Clock::now() + kFreeLinkLimit;
    c.changed.wait_until(lock, deadline, [&] { return !c.usableLocked() || c.outstanding == 0; });
    return c.usableLocked() && c.outstanding == 0;
}

// The answer the command waits for has come (or never will).
bool answeredLocked(Connection& c, uint16_t code, Await await) {
    switch (await) {
        case Await::Pressed:
            return c.press == PressState::Pressed;
        case Await::Released:
            return c.press == PressState::Released;
        default:
            return c.responseLocked(code).completed;
    }
}

}  // namespace

uint32_t takeCommandNumberLocked(Connection& c) {
    c.nextCommand = nextCommandNumber(c.nextCommand);
    return c.nextCommand;
}

bool waitForFreeLink() {
    Connection& c = connection();
    std::unique_lock lock(c.mutex);
    return freeLinkLocked(c, lock);
}

int sendCommand(uint16_t code, std::span<const uint8_t> payload, const CommandOptions& options) {
    Connection& c = connection();
    std::unique_lock lock(c.mutex);
    if (!freeLinkLocked(c, lock)) {
        return -1;
    }
    const uint32_t number = takeCommandNumberLocked(c);
    lock.unlock();

    const std::vector<uint8_t> packet = encodePacket(code, number, payload);

    // This number's turn: every earlier command has been answered or failed.
    lock.lock();
    c.changed.wait(lock, [&] { return !c.usableLocked() || servingReached(c.serving, number); });
    if (!c.usableLocked()) {
        return -1;
    }
    void* const device = c.device;
    lock.unlock();

    bool written = false;
    {
        std::lock_guard command(c.commandMutex);
        lock.lock();
        // Counted before the write: the response may be dispatched before
        // usbNativeWriteBulk returns.
        c.responseLocked(code) = ResponseFlags{};
        ++c.outstanding;
        if (options.beforeWrite) {
            options.beforeWrite(c, number);
        }
        lock.unlock();
        const int32_t length = static_cast<int32_t>(packet.size());
        written = usbNativeWriteBulk(device, packet.data(), 0, length) == length;
        // A write that failed because the camera has gone is as good a sign
        // as the receive thread's failed read.
        const bool gone = !written && usbNativeCountDev(c.vendorId, c.productId) == 0;
        lock.lock();
        if (gone) {
            c.markLinkLostLocked();
        }
        if (written) {
            if (options.afterWrite) {
                options.afterWrite(c, number);
            }
        } else {
            // Let the next command proceed.
            if (c.outstanding > 0) {
                --c.outstanding;
            }
            c.serving = nextCommandNumber(c.serving);
            c.changed.notify_all();
        }
        lock.unlock();
    }
    if (!written) {
        return -1;
    }
    if (options.await == Await::Nothing) {
        return 0;
    }

    lock.lock();
    c.changed.wait(lock, [&] { return c.linkLost || answeredLocked(c, code, options.await); });
    if (!answeredLocked(c, code, options.await)) {
        return -1;
    }
    // S1Off and the arrival-only commands do not look at the status.
    ResponseFlags& flags = c.responseLocked(code);
    const bool succeeded =
        options.await == Await::Arrival || options.await == Await::Released || flags.succeeded;
    flags = ResponseFlags{};
    return succeeded ? 0 : -1;
}

void sendReply(void* device, uint16_t code, std::span<const uint8_t> payload) {
    const std::vector<uint8_t> reply = encodePacket(code, takeReplyNumber(), payload);
    usbNativeWriteBulk(device, reply.data(), 0, static_cast<int32_t>(reply.size()));
}

}  // namespace fotolien
