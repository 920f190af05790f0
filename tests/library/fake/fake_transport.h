// A scripted camera behind the 12 transport functions, for tests and fuzz
// targets that compile the library's sources in: bulk-in data is played
// from a queue of device transfers, and what the library writes is kept.
// Commands are answered with status 0 unless a test installs its own
// responder.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

namespace fakecam {

using Bytes = std::vector<uint8_t>;

// A whole packet as the camera sends it.
Bytes packet(uint16_t code, uint32_t transaction, const Bytes& payload);

// Forgets every queued transfer and written packet, plugs the camera in,
// and installs the default responder.
void reset();

// Queues one device transfer for the bulk-in pipe. A read asking for less
// takes the first bytes and leaves the rest for the next read; with
// `pieces` > 1 the transfer is delivered in that many short reads.
void queue(const Bytes& transfer, int pieces = 1);

// Ends the camera: reads fail and the device counts as absent.
void unplug();

// True once every queued transfer has been read and the library waits for
// the next one.
bool drained();
// Waits (up to `ms`) until drained().
bool waitDrained(int ms = 2000);

// Every packet the library has written, in order.
std::vector<Bytes> written();

// Called (outside the fake's lock) for every packet the library writes; may
// queue the camera's answer. The default answers each command (codes below
// 0x2000) with a response of status 0 and the command's number.
void setResponder(std::function<void(const Bytes&)> responder);
void answerWithStatus(const Bytes& command, uint16_t status);

// With aliasing on, a FileIn or FileClose transfer quoting handle 1..8
// is given, when it is read, the n-th handle the library handed out since
// reset() (handles run on across connections; scripts cannot know them).
void aliasSmallHandles(bool on);

// The next usbNativeStopReadBulk misses the read it is meant for, as when
// that read reaches the pipe only after the cancel. Closing the device still
// ends every read.
void loseNextCancel();
// Largest offset + length a continuation read (offset > 0) asked for beyond
// the heap block it writes into; 0 when every read fitted.
size_t worstOverreach();

}  // namespace fakecam
