// The receive thread: the only reader of the bulk-in pipe. It reads every
// packet the camera sends, keeps the transaction counters, completes waiting
// commands, answers the camera's requests and watches for the camera going.
#pragma once

#include <cstdint>
#include <vector>

#include "dispatch.h"
#include "packets.h"

namespace fotolien {

struct Connection;

// Starts the receive thread of a freshly opened connection (the caller has
// set the device and reset the connection state); false when no thread
// could be started.
bool startReceiver(Connection& c);

// The stop sequence: sets the stop flag, cancels the pending read, waits for
// it to come back (closing the device when the cancel came too early for
// it), and joins the thread. True when it had to close the device. Caller's
// thread only; does nothing when no thread was started.
bool stopReceiver(Connection& c);

// Outcome of reading one packet.
enum class ReadOutcome {
    Packet,     // a whole, well-framed packet
    Malformed,  // bytes that do not form a valid packet; never dispatched
    Failed,     // the read itself failed (device gone, transfer cancelled)
};

struct ReceivedPacket {
    PacketHeader header;
    bool framed = false;  // the header was valid (also for some malformed packets)
    ReceivedBytes payload;
};

// Reads one packet from `device`. The first read asks for one whole bus
// packet, so a packet that ends early never swallows the start of the next.
ReadOutcome receivePacket(Connection& c, void* device, ReceivedPacket& packet);

// What the receive thread does with each packet it has read (a Packet, or a
// Malformed one): a response completes its command, a camera request is
// answered and acted on, both under the outstanding count. EndSession when
// the camera ended the session (the connection is then marked lost). The
// receive thread's; also callable on a connection without a receive thread,
// to run packets through synchronously.
AfterDispatch handlePacket(Connection& c, void* device, ReadOutcome outcome,
                           ReceivedPacket& packet);

}  // namespace fotolien
