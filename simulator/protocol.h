// Wire format of the camera's packet protocol, seen from the camera: the
// operation codes, the numbering ranges, the status values this camera
// answers with, and little-endian packing helpers. Byte order is handled
// here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace orkasim::wire {

constexpr size_t kHeaderSize = 12;

// Host commands are numbered 1..kLastCommandNumber; everything above is a
// camera request or a host reply.
constexpr uint32_t kLastCommandNumber = 0xA0000000;
constexpr uint32_t kFirstRequestNumber = 0xA0000001;
constexpr uint32_t kLastRequestNumber = 0xFFFFFFFE;

// Host commands (0x1001..0x1030).
enum Op : uint16_t {
    kFirstCommand = 0x1001,
    kOpen = 0x1001,
    kClose = 0x1002,
    kShutdown = 0x1003,
    kS1 = 0x1005,
    kCapture = 0x1006,
    kTerminateCapture = 0x1007,
    kStartLV = 0x1008,
    kEndLV = 0x1009,
    kGetLVFrame = 0x100A,
    kSetCamStat = 0x100C,
    kGetAllCamStat = 0x100E,
    kChangeFDMMode = 0x101E,
    kAdjFocusAction = 0x1020,
    kAfterView = 0x1021,
    kChangeFFP = 0x1025,
    kSetFFPPos = 0x1026,
    kSetSpotAEMode = 0x1027,
    kSetDateTime = 0x1028,
    kGetPresetWBGain = 0x1029,
    kSetCustomWBGain = 0x102A,
    kGetAfterViewImage = 0x102B,
    kGetPointWBGain = 0x102C,
    kSetFDMPos = 0x102D,
    kSetIntervalMode = 0x102E,
    kSetLiveViewMode = 0x102F,
    kSetPreviewMode = 0x1030,
    kLastCommand = 0x1030,
};

// Camera requests (0x2001..0x2020).
enum Request : uint16_t {
    kCameraClosing = 0x2002,
    kCamStateNotice = 0x2003,
    kCameraEnding = 0x2004,
    kLiveViewReady = 0x2008,
    kCamStatChanged = 0x2009,
    kFileOpen = 0x200A,
    kFileClose = 0x200B,
    kFileIn = 0x200C,
};

// Status words this camera answers with (0 = carried out).
enum Status : uint16_t {
    kStatusOk = 0,
    kStatusNotInFocus = 0x0001,
    kStatusBadPacket = 0x0002,   // payload of the wrong size or content
    kStatusNoSession = 0x0003,   // no Open yet (or the link was reset)
    kStatusNotReady = 0x0004,    // the camera has not reported state 1 yet
    kStatusNoLiveView = 0x0005,  // live view is not running
    kStatusBusy = 0x0006,        // a capture is in progress
    kStatusNoImage = 0x0007,     // no after-view image to give
    kStatusBadValue = 0x0008,    // parameter index or value refused
};

// Reply shape the host owes for a camera request: how many payload bytes,
// or no reply at all.
enum class ReplyShape { None, Empty, Status16, FileHandle };
ReplyShape replyShape(uint16_t requestCode);

inline bool isCommandCode(uint16_t code) {
    return code >= kFirstCommand && code <= kLastCommand;
}

// Next number in a wrapping range (commands wrap above kLastCommandNumber to
// 1, requests and replies above kLastRequestNumber to kFirstRequestNumber).
inline uint32_t nextCommandNumber(uint32_t n) {
    return n >= kLastCommandNumber ? 1 : n + 1;
}
inline uint32_t nextRequestNumber(uint32_t n) {
    return (n >= kLastRequestNumber || n < kFirstRequestNumber) ? kFirstRequestNumber : n + 1;
}

inline void put8(std::vector<uint8_t>& v, uint8_t x) {
    v.push_back(x);
}
inline void put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(static_cast<uint8_t>(x));
    v.push_back(static_cast<uint8_t>(x >> 8));
}
inline void put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
inline void set16(uint8_t* p, uint16_t x) {
    p[0] = static_cast<uint8_t>(x);
    p[1] = static_cast<uint8_t>(x >> 8);
}
inline void set32(uint8_t* p, uint32_t x) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(x >> (8 * i));
}
inline uint16_t get16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t get32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// Bounded little-endian reader over a payload: reads past the end yield 0
// and clear ok().
class Reader {
  public:
    Reader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint16_t u16() { return need(2) ? get16(data_ + (offset_ += 2) - 2) : 0; }
    uint32_t u32() { return need(4) ? get32(data_ + (offset_ += 4) - 4) : 0; }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    void skip(size_t n) {
        if (need(n))
            offset_ += n;
    }
    bool ok() const { return ok_; }
    size_t remaining() const { return size_ - offset_; }

  private:
    bool need(size_t n) {
        if (!ok_ || size_ - offset_ < n)
            ok_ = false;
        return ok_;
    }
    const uint8_t* data_;
    size_t size_;
    size_t offset_ = 0;
    bool ok_ = true;
};

struct Header {
    uint32_t length;
    uint16_t code;
    uint32_t transaction;
};

// The header of a packet, or nothing when fewer than 12 bytes are given.
std::optional<Header> parseHeader(const uint8_t* data, size_t size);

// One whole packet: header (length = 12 + payload) and payload.
std::vector<uint8_t> packet(uint16_t code, uint32_t transaction,
                            const std::vector<uint8_t>& payload);

}  // namespace orkasim::wire
