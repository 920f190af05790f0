#include "receiver.h"

#include <algorithm>
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
// How long the stop sequence lets the cancelled read take to come back.
constexpr auto kCancelLimit = std::chrono::milliseconds(200);

size_t roundUpToBusPacket(size_t n) {
    return (n + kBusPacket - 1) / kBusPacket * kBusPacket;
}

// Waits up to `pause` unless the thread is asked to stop; true if asked.
bool pauseUnlessStopped(Connection& c, std::chrono::milliseconds pause) {
    std::unique_lock lock(c.mutex);
    return c.changed.wait_for(lock, pause, [&] { return c.stop; });
}

// One read of up to `length` bytes to buffer + offset, repeated while it
// delivers nothing. -1 on failure, and without reading once the stop flag
// is set.
int32_t readSome(Connection& c, void* device, uint8_t* buffer, size_t offset, size_t length) {
    for (;;) {
        {
            std::lock_guard lock(c.mutex);
            if (c.stop) {
                return -1;
            }
            c.reading = true;
        }
        const int32_t got = usbNativeReadBulk(device, buffer, static_cast<int32_t>(offset),
                                              static_cast<int32_t>(length));
        {
            std::lock_guard lock(c.mutex);
            c.reading = false;
            if (c.stop) {
                c.changed.notify_all();  // the stop sequence waits for this read
            }
        }
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
        if (handlePacket(c, device, outcome, packet) == AfterDispatch::EndSession) {
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

AfterDispatch handlePacket(Connection& c, void* device, ReadOutcome outcome,
                           ReceivedPacket& packet) {
    const PacketHeader header = packet.header;
    if (outcome == ReadOutcome::Malformed && !packet.framed) {
        return AfterDispatch::Continue;  // not even a header to go by
    }
    if (isResponseCode(header.code)) {
        // Counted, completed and released in one step, malformed or not.
        dispatchResponse(c, header.code,
                         outcome == ReadOutcome::Packet ? &packet.payload : nullptr);
        return AfterDispatch::Continue;
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
    std::lock_guard lock(c.mutex);
    if (request && c.outstanding > 0) {
        --c.outstanding;
    }
    if (after == AfterDispatch::EndSession) {
        // The camera ended the session: nothing more will be read, so every
        // waiting and later command must fail at once.
        c.markLinkLostLocked();
    }
    c.changed.notify_all();
    return after;
}

bool startReceiver(Connection& c) {
    try {
        c.receiver = std::thread(receiverMain, std::ref(c), c.device);
        return true;
    } catch (...) {
        return false;
    }
}

bool stopReceiver(Connection& c) {
    if (!c.receiver.joinable()) {
        return false;
    }
    // Flag: no read starts from now on, and every pause of the thread ends.
    std::unique_lock lock(c.mutex);
    c.stop = true;
    c.changed.notify_all();
    void* const device = c.device;
    lock.unlock();

    // Cancel the read in flight.
    usbNativeStopReadBulk(device);

    // Drain: the cancelled read comes back at once. A read that began just
    // before the flag but reached the pipe after the cancel is not ended by
    // it (the transport cancels only what is pending): the thread is then
    // still reading, and closing the device ends that read for good.
    lock.lock();
    c.changed.wait_for(lock, kCancelLimit, [&] { return !c.reading; });
    const bool closeNow = c.reading;
    lock.unlock();
    if (closeNow) {
        usbNativeClose(device);
    }

    // Join: the thread reads nothing more; a packet it is still handling
    // ends by itself (its reply write has a time limit).
    c.receiver.join();
    return closeNow;
}

}  // namespace fotolien
