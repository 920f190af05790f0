// Fuzz target: a hostile camera's bulk-in stream through the library's
// packet reading and dispatch, run synchronously on a connection of its own
// (no receive thread, no session, no waiting), file writing included: many
// thousands of inputs a second where the threaded receive_path target runs
// a few dozen.
//
// Input: as receive_path's, one flags byte, then records of a 16-bit
// little-endian length and that many bytes, each one device transfer (at
// most kMaxRecords; empty ones, which only make the reader pause, are left
// out).
//   flags bit 0: each record comes in several short reads (bits 1-3: how
//                many, 2..9);
//   flags bit 5: the capture's image quality is 6 (a raw file takes the
//                number of the picture before it);
//   flags bit 6: three files are awaited (else none).
// File handles are handed out from 1 on every input, so FileIn and
// FileClose quoting 1..8 name the n-th file opened. Every file operation of
// the library is checked to stay inside the scratch folder; the outstanding
// count must come back to 0, the waiting count must never go negative, and
// no file may stay open.
#include <cstdlib>
#include <string>

#include "connection.h"
#include "fake_transport.h"
#include "receiver.h"
#include "scratch_folder.h"
#include "transfer.h"
#include "usbpipe.h"

namespace {

constexpr size_t kMaxRecords = 256;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace fotolien;
    if (size == 0) {
        return 0;
    }
    const uint8_t flags = data[0];
    const int pieces = (flags & 1) != 0 ? ((flags >> 1) & 7) + 2 : 1;
    const std::string target = fuzzscratch::target();

    fakecam::reset();
    void* const device = usbNativeOpen(0, 0, 0);
    size_t at = 1;
    for (size_t records = 0; at + 2 <= size && records < kMaxRecords; ++records) {
        const size_t length = data[at] | data[at + 1] << 8;
        at += 2;
        const size_t take = std::min(length, size - at);
        if (take > 0) {
            fakecam::queue(fakecam::Bytes(data + at, data + at + take), pieces);
        }
        at += take;
    }
    // Once everything queued has been read, reads fail instead of waiting.
    fakecam::unplug();

    Connection c;
    c.device = device;
    c.waitingFiles = (flags & 0x40) != 0 ? 3 : 0;
    c.capture.quality = (flags & 0x20) != 0 ? 6 : 0;
    transfer::setSaveSettings(c, target.c_str(), "P");

    fuzzscratch::guard(true);
    for (;;) {
        ReceivedPacket packet;
        const ReadOutcome outcome = receivePacket(c, device, packet);
        if (outcome == ReadOutcome::Failed ||
            handlePacket(c, device, outcome, packet) == AfterDispatch::EndSession) {
            break;
        }
    }
    transfer::abandonOpenFiles(c);
    fuzzscratch::guard(false);

    if (c.outstanding != 0 || c.waitingFiles < 0 || !c.openFiles.empty()) {
        std::abort();
    }
    fuzzscratch::empty();
    return 0;
}
