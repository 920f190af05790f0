#include "receiver.h"

#include <algorithm>
#include <atomic>
#include <cstring>

#include "connection.h"
#include "dispatch.h"
#include "usbpipe.h"

namespace fotolien {

namespace {

// Size of one bus packet of the bulk-in pipe at high speed; every read asks
// for a whole number of them (also a multiple of the full-speed size).
constexpr size_t kBusPacket = 512;
// Presence poll after a failed read: every 10 ms, 1000 times.
constexpr auto kPresencePollInterval = std::chrono::milliseconds(10);
constexpr int kPresencePolls = 1000;
// Pause before reading again after a read that returned no bytes.
constexpr auto kEmptyReadPause = std::chrono::milliseconds(1);

// Reply numbers continue across connections for the life of the library.
std::atomic<uint32_t> lastReplyNumber{kLastCommandNumber};

uint32_t takeReplyNumber() {
    uint32_t current = lastReplyNumber.load();
    while (!lastReplyNumber.compare_exchange_weak(current, nextReplyNumber(current))) {
    }
    return nextReplyNumber(current);
}

size_t roundUpToBusPacket(size_t n) {
    return (n + kBusPacket - 1) / kBusPacket * kBusPacket;
}

// Waits up to `pause` unless the thread is asked to stop; true if asked.
bool pauseUnlessStopped(Connection& c, std::chrono::milliseconds pause) {
    std::unique_lock lock(c.mutex);
    return c.changed.wait_for(lock, pause, [&] { return c.stop; });
}

// One read of up to `length` bytes to buffer + offset, repeated while it
// delivers nothing. -1 on failure.
int32_t readSome(Connection& c, void* device, uint8_t* buffer, size_t offset, size_t length) {
    for (;;) {
        const int32_t got = usbNativeReadBulk(device, buffer, static_cast<int32_t>(offset),
                                              static_cast<int32_t>(length));
        if (got != 0) {
            return got;
        }
        if (pauseUnlessStopped(c, kEmptyReadPause)) {
            return -1;
        }
    }
}

// Codes whose data may come in several transfers: the rest of the packet is
// collected until it is complete.
bool mayArriveInPieces(uint16_t code) {
    return code == op::kGetLVFrame || code == op::kGetAfterViewImage;
}

// After a failed read: polls the camera's presence; true when it has gone.
bool cameraGone(Connection& c) {
    for (int i = 0; i < kPresencePolls; ++i) {
        if (usbNativeCountDev(c.vendorId, c.productId) == 0) {
            return true;
        }
        if (pauseUnlessStopped(c, kPresencePollInterval)) {
            return false;
        }
    }
    return false;
}

void receiveUntilEnd(Connection& c, void* device) {
    for (;;) {
        {
            std::lock_guard lock(c.mutex);
            if (c.stop) {
                break;
            }
        }
        ReceivedPacket packet;
        const ReadOutcome outcome = receivePacket(c, device, packet);
        if (outcome == ReadOutcome::Failed) {
            {
                std::lock_guard lock(c.mutex);
                if (c.stop || c.closeInProgress) {
                    continue;
                }
            }
            if (cameraGone(c)) {
                std::lock_guard lock(c.mutex);
                c.markLinkLostLocked();
                break;
            }
            continue;
        }
        const PacketHeader header = packet.header;
        if (outcome == ReadOutcome::Malformed && !packet.framed) {
            continue;  // not even a header to go by
        }
        if (isResponseCode(header.code)) {
            // Counted, completed and released in one step, malformed or not.
            dispatchResponse(c, header.code,
                             outcome == ReadOutcome::Packet ? &packet.payload : nullptr);
            continue;
        }
        // A camera request counts as outstanding while it is handled.
        const bool request = isCameraRequestNumber(header.transaction);
        if (request) {
            std::lock_guard lock(c.mutex);
            ++c.outstanding;
        }
        AfterDispatch after = AfterDispatch::Continue;
        if (outcome == ReadOutcome::Packet) {
            after = dispatchRequest(c, device, header.code, packet.payload);
        }
        {
            std::lock_guard lock(c.mutex);
            if (request && c.outstanding > 0) {
                --c.outstanding;
            }
            if (after == AfterDispatch::EndSession) {
                // The camera ended the session: nothing more will be read,
                // so every waiting and later command must fail at once.
                c.markLinkLostLocked();
            }
            c.changed.notify_all();
        }
        if (after == AfterDispatch::EndSession) {
            break;
        }
    }
}

// The thread's body. Whatever throws in reading or handling a packet (an
// allocation for a huge packet, a file operation) ends the thread as a lost
// link: the exports waiting on it fail instead of the process terminating.
void receiverMain(Connection& c, void* device) noexcept {
    try {
        receiveUntilEnd(c, device);
    } catch (...) {
        std::lock_guard lock(c.mutex);
        c.markLinkLostLocked();
    }
    std::lock_guard lock(c.mutex);
    c.receiverDone = true;
    c.changed.notify_all();
}

}  // namespace

ReadOutcome receivePacket(Connection& c, void* device, ReceivedPacket& packet) {
    uint8_t first[kBusPacket];
    const int32_t got = readSome(c, device, first, 0, sizeof first);
    if (got < 0) {
        return ReadOutcome::Failed;
    }
    const size_t n = static_cast<size_t>(got);
    const auto header = decodeHeader(std::span<const uint8_t>(first, n));
    if (!header) {
        return ReadOutcome::Malformed;
    }
    packet.header = *header;
    packet.framed = true;
    const size_t length = header->length;
    const size_t payloadSize = length - kHeaderSize;

    if (length <= kBusPacket) {
        // The whole packet was in the first bus packet; a transfer of
        // another size means the length field is wrong.
        if (n != length) {
            return ReadOutcome::Malformed;
        }
        packet.payload.assign(first + kHeaderSize, first + length);
        return ReadOutcome::Packet;
    }
    if (n != kBusPacket) {
        return ReadOutcome::Malformed;  // the transfer ended before the packet did
    }
    // Room to read the rest in whole bus packets straight into the payload.
    const size_t have = kBusPacket - kHeaderSize;
    size_t missing = length - kBusPacket;
    packet.payload.resize(have + roundUpToBusPacket(missing));
    std::memcpy(packet.payload.data(), first + kHeaderSize, have);
    size_t filled = have;
    do {
        // Whole bus packets while they fit; after a short read the room left
        // can be less than that, and the transport writes all it is allowed.
        const size_t room = packet.payload.size() - filled;
        const size_t ask = std::min(roundUpToBusPacket(missing), room);
        const int32_t more = readSome(c, device, packet.payload.data(), filled, ask);
        if (more < 0) {
            return ReadOutcome::Failed;
        }
        if (static_cast<size_t>(more) > missing) {
            return ReadOutcome::Malformed;  // the transfer is longer than the packet
        }
        filled += static_cast<size_t>(more);
        missing -= static_cast<size_t>(more);
    } while (missing > 0 && mayArriveInPieces(header->code));
    if (missing > 0) {
        return ReadOutcome::Malformed;
    }
    packet.payload.resize(payloadSize);
    return ReadOutcome::Packet;
}

void sendReply(void* device, uint16_t code, std::span<const uint8_t> payload) {
    const std::vector<uint8_t> reply = encodePacket(code, takeReplyNumber(), payload);
    usbNativeWriteBulk(device, reply.data(), 0, static_cast<int32_t>(reply.size()));
}

bool startReceiver(Connection& c) {
    {
        std::lock_guard lock(c.mutex);
        c.receiverDone = false;
    }
    try {
        c.receiver = std::thread(receiverMain, std::ref(c), c.device);
        return true;
    } catch (...) {
        std::lock_guard lock(c.mutex);
        c.receiverDone = true;
        return false;
    }
}

void stopReceiver(Connection& c) {
    if (!c.receiver.joinable()) {
        return;
    }
    std::unique_lock lock(c.mutex);
    c.stop = true;
    c.changed.notify_all();
    // A read may start just after a cancel: cancel again until the thread
    // has left its loop.
    while (!c.receiverDone) {
        lock.unlock();
        usbNativeStopReadBulk(c.device);
        lock.lock();
        c.changed.wait_for(lock, std::chrono::milliseconds(20), [&] { return c.receiverDone; });
    }
    lock.unlock();
    c.receiver.join();
}

}  // namespace fotolien
