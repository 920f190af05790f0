// The receive thread: the only reader of the bulk-in pipe. It reads every
// packet the camera sends, keeps the transaction counters, completes waiting
// commands, answers the camera's requests and watches for the camera going.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "packets.h"

namespace fotolien {

struct Connection;

// Starts the receive thread of a freshly opened connection (the caller has
// set the device and reset the connection state); false when no thread
// could be started.
bool startReceiver(Connection& c);

// The stop sequence: sets the stop flag, cancels the pending read until the
// thread has left its loop, and joins it. Caller's thread only; does nothing
// when no thread was started.
void stopReceiver(Connection& c);

// Outcome of reading one packet.
enum class ReadOutcome {
    Packet,     // a whole, well-framed packet
    Malformed,  // bytes that do not form a valid packet; never dispatched
    Failed,     // the read itself failed (device gone, transfer cancelled)
};

struct ReceivedPacket {
    PacketHeader header;
    bool framed = false;  // the header was valid (also for some malformed packets)
    std::vector<uint8_t> payload;
};

// Reads one packet from `device`. The first read asks for one whole bus
// packet, so a packet that ends early never swallows the start of the next.
ReadOutcome receivePacket(Connection& c, void* device, ReceivedPacket& packet);

// Writes a reply to a camera request with the next reply number.
void sendReply(void* device, uint16_t code, std::span<const uint8_t> payload);

}  // namespace fotolien
