// Wire format of the camera's packets: the 12-byte header, the payload of
// each packet kind, and the little-endian helpers they are built from.
//
// Pure functions: no I/O and no shared state. Every decoder gets the payload
// with its length and refuses to read past it; a short or inconsistent
// payload decodes to std::nullopt and is never partly used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace fotolien {

// Operation codes: commands (library to camera, answered by a response with
// the same code) and camera requests (answered by a reply with the same code).
namespace op {
constexpr uint16_t kOpen = 0x1001;
constexpr uint16_t kClose = 0x1002;
constexpr uint16_t kShutdown = 0x1003;
constexpr uint16_t kS1 = 0x1005;  // S1On and S1Off share the code
constexpr uint16_t kCapture = 0x1006;
constexpr uint16_t kTerminateCapture = 0x1007;
constexpr uint16_t kStartLV = 0x1008;
constexpr uint16_t kEndLV = 0x1009;
constexpr uint16_t kGetLVFrame = 0x100A;
constexpr uint16_t kSetCamStat = 0x100C;
constexpr uint16_t kGetAllCamStat = 0x100E;
constexpr uint16_t kChangeFDMMode = 0x101E;
constexpr uint16_t kAdjFocusAction = 0x1020;
constexpr uint16_t kAfterView = 0x1021;
constexpr uint16_t kChangeFFP = 0x1025;
constexpr uint16_t kSetFFPPos = 0x1026;
constexpr uint16_t kSetSpotAEMode = 0x1027;
constexpr uint16_t kSetDateTime = 0x1028;
constexpr uint16_t kGetPresetWBGain = 0x1029;
constexpr uint16_t kSetCustomWBGain = 0x102A;
constexpr uint16_t kGetAfterViewImage = 0x102B;
constexpr uint16_t kGetPointWBGain = 0x102C;
constexpr uint16_t kSetFDMPos = 0x102D;
constexpr uint16_t kSetIntervalMode = 0x102E;
constexpr uint16_t kSetLiveViewMode = 0x102F;
constexpr uint16_t kSetPreviewMode = 0x1030;
constexpr uint16_t kFirstCommand = 0x1001;
constexpr uint16_t kLastCommand = 0x1030;
constexpr uint16_t kExtraResponse = 0x1100;  // counts as a response, never dispatched

constexpr uint16_t kCameraClosing = 0x2002;
constexpr uint16_t kCamStateNotice = 0x2003;
constexpr uint16_t kCameraEnding = 0x2004;
constexpr uint16_t kLiveViewReady = 0x2008;
constexpr uint16_t kCamStatChanged = 0x2009;
constexpr uint16_t kFileOpen = 0x200A;
constexpr uint16_t kFileClose = 0x200B;
constexpr uint16_t kFileIn = 0x200C;
// Requests whose meaning the library does not know: it acknowledges them,
// with an empty reply...
constexpr uint16_t kAckedEmpty1 = 0x2001;
constexpr uint16_t kAckedEmpty2 = 0x200D;
// ...or with a status reply.
constexpr uint16_t kAcked1 = 0x2006;
constexpr uint16_t kAcked2 = 0x2007;
constexpr uint16_t kFirstAckedRun = 0x200E;
constexpr uint16_t kLastAckedRun = 0x2017;
constexpr uint16_t kAcked3 = 0x2019;
constexpr uint16_t kAcked4 = 0x2020;
}  // namespace op

constexpr int kCommandCount = op::kLastCommand - op::kFirstCommand + 1;

// True for the codes that carry a response (they advance the serving number).
constexpr bool isResponseCode(uint16_t code) {
    return (code >= op::kFirstCommand && code <= op::kLastCommand) || code == op::kExtraResponse;
}

// True for the requests the library only acknowledges with a status reply.
// Requests neither named above nor acknowledged are read and get no reply.
constexpr bool isAckedWithStatus(uint16_t code) {
    return code == op::kAcked1 || code == op::kAcked2 ||
           (code >= op::kFirstAckedRun && code <= op::kLastAckedRun) || code == op::kAcked3 ||
           code == op::kAcked4;
}

// Transaction numbers: commands take 1..kLastCommandNumber, replies and
// camera requests use the numbers above it.
constexpr uint32_t kLastCommandNumber = 0xA0000000u;
constexpr uint32_t kLastReplyNumber = 0xFFFFFFFEu;
constexpr bool isCameraRequestNumber(uint32_t transaction) {
    return transaction > kLastCommandNumber;
}
constexpr uint32_t nextCommandNumber(uint32_t number) {
    return number + 1 > kLastCommandNumber ? 1 : number + 1;
}
constexpr uint32_t nextReplyNumber(uint32_t number) {
    return number >= kLastReplyNumber ? kLastCommandNumber + 1 : number + 1;
}
// Whether the serving number has reached `number` in the cyclic numbering
// 1..kLastCommandNumber (half the cycle counts as "already past").
constexpr bool servingReached(uint32_t serving, uint32_t number) {
    const uint64_t distance =
        (uint64_t{serving} + kLastCommandNumber - number) % kLastCommandNumber;
    return distance < kLastCommandNumber / 2;
}

// ---- Little-endian helpers ---------------------------------------------

inline uint16_t load16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
inline uint32_t load32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
inline int32_t loadS32(const uint8_t* p) {
    return static_cast<int32_t>(load32(p));
}
inline void store16(uint8_t* p, uint16_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
inline void store32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        p[i] = static_cast<uint8_t>(v >> (8 * i));
    }
}

// Builds a payload field by field.
class PayloadBuilder {
  public:
    PayloadBuilder& u8(uint8_t v) {
        bytes_.push_back(v);
        return *this;
    }
    PayloadBuilder& u16(uint16_t v) {
        const size_t at = grow(2);
        store16(&bytes_[at], v);
        return *this;
    }
    PayloadBuilder& u32(uint32_t v) {
        const size_t at = grow(4);
        store32(&bytes_[at], v);
        return *this;
    }
    PayloadBuilder& s32(int32_t v) { return u32(static_cast<uint32_t>(v)); }
    const std::vector<uint8_t>& bytes() const { return bytes_; }

  private:
    size_t grow(size_t n) {
        const size_t at = bytes_.size();
        bytes_.resize(at + n);
        return at;
    }
    std::vector<uint8_t> bytes_;
};

// ---- Received bytes -----------------------------------------------------

// A payload as it comes from the camera. It is sized for the length the
// header announces before the data arrives, so growing it leaves the new
// bytes uninitialised: memory is touched only as the transport writes into
// it, and a lying header costs an address range, not megabytes of writes.
// Only the bytes received are ever read.
class ReceivedBytes {
  public:
    ReceivedBytes() = default;
    ReceivedBytes(ReceivedBytes&& other) noexcept { swap(other); }
    ReceivedBytes& operator=(ReceivedBytes&& other) noexcept {
        ReceivedBytes(std::move(other)).swap(*this);
        return *this;
    }

    // n bytes: the first ones kept, any new ones uninitialised.
    void resize(size_t n) {
        if (n > capacity_) {
            std::unique_ptr<uint8_t[]> grown(new uint8_t[n]);
            if (size_ > 0) {
                std::memcpy(grown.get(), bytes_.get(), size_);
            }
            bytes_ = std::move(grown);
            capacity_ = n;
        }
        size_ = n;
    }
    void assign(const uint8_t* first, const uint8_t* last) {
        size_ = 0;
        resize(static_cast<size_t>(last - first));
        if (size_ > 0) {
            std::memcpy(bytes_.get(), first, size_);
        }
    }

    uint8_t* data() { return bytes_.get(); }
    const uint8_t* data() const { return bytes_.get(); }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const uint8_t* begin() const { return data(); }
    const uint8_t* end() const { return data() + size_; }
    operator std::span<const uint8_t>() const { return {data(), size_}; }

  private:
    void swap(ReceivedBytes& other) noexcept {
        std::swap(bytes_, other.bytes_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

// ---- Header -------------------------------------------------------------

constexpr size_t kHeaderSize = 12;
// Largest frame, image or file chunk accepted from the camera, and the
// largest packet (data plus the biggest sub-header and the header).
constexpr uint32_t kMaxDataSize = 64u << 20;
constexpr uint32_t kMaxPacketLength = kMaxDataSize + 64;

struct PacketHeader {
    uint32_t length = 0;  // whole packet, header included
    uint16_t code = 0;
    uint32_t transaction = 0;
};

// Decodes the first 12 bytes; nullopt when fewer bytes are given or the
// length field lies outside 12..kMaxPacketLength.
std::optional<PacketHeader> decodeHeader(std::span<const uint8_t> bytes);

// Header and payload in one buffer, ready for one bulk write.
std::vector<uint8_t> encodePacket(uint16_t code, uint32_t transaction,
                                  std::span<const uint8_t> payload);

// ---- Commands and their responses --------------------------------------
//
// An encoder per command payload (a command without one is the header
// alone), beside the decoder of its response where the response carries
// more than the status.

// The 16-bit status that starts every response.
std::optional<uint16_t> decodeStatus(std::span<const uint8_t> payload);

// Close: 16-bit mode (0 close, 1 sleep), 16-bit sleep argument.
std::vector<uint8_t> encodeClose(uint16_t mode, uint16_t argument);

// S1: 16-bit 1 to press (S1On), 0 to release (S1Off).
std::vector<uint8_t> encodeS1(bool press);
// SetFFPPos, SetFDMPos: the point, two signed 32-bit values.
std::vector<uint8_t> encodePosition(int32_t x, int32_t y);

// Status followed, when it is 0, by two 32-bit values at offsets 2 and 6
// (S1On, SetFFPPos, SetFDMPos).
struct StatusAndPoint {
    uint16_t status = 0;
    int32_t x = 0;
    int32_t y = 0;
};
std::optional<StatusAndPoint> decodeStatusAndPoint(std::span<const uint8_t> payload);

// Capture: drive mode, image size and quality (the current parameter
// values), then the exposure time in milliseconds.
std::vector<uint8_t> encodeCapture(int32_t driveMode, int32_t imageSize, int32_t quality,
                                   int32_t seconds);
// AfterView: 32-bit 1 to discard the picture (0 keeps it), then the
// command number of the Capture it answers.
std::vector<uint8_t> encodeAfterView(bool discard, uint32_t captureNumber);

// GetAfterViewImage: 12-byte sub-header, then the image when the status is 0.
constexpr size_t kImageSubHeaderSize = 12;
struct ImageHeader {
    uint16_t status = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    uint32_t size = 0;
};
// With status 0 the image must fill the rest of the payload exactly.
std::optional<ImageHeader> decodeImageHeader(std::span<const uint8_t> payload);

// SetLiveViewMode: the 32-bit preview mode.
std::vector<uint8_t> encodeSetLiveViewMode(int32_t mode);

// GetLVFrame: 28-byte sub-header, then the frame when the status is 0.
constexpr size_t kFrameSubHeaderSize = 28;
struct FrameHeader {
    uint16_t status = 0;
    uint16_t width = 0;
    uint16_t height = 0;
    int32_t shutter = 0;   // parameter 8
    int32_t aperture = 0;  // parameter 9
    int32_t battery = 0;   // parameter 37
    int32_t param36 = 0;   // parameter 36
    uint32_t size = 0;
};
// With status 0 the frame must fill the rest of the payload exactly.
std::optional<FrameHeader> decodeFrameHeader(std::span<const uint8_t> payload);

// SetCamStat: entry count 1, then one parameter entry of kind 1 (current
// value).
std::vector<uint8_t> encodeSetCamStat(uint32_t index, int32_t value);

// One entry of the GetAllCamStat list.
struct ParamEntry {
    uint32_t index = 0;
    int32_t value = 0;
    int32_t aux1 = 0;
    int32_t aux2 = 0;
};
// status, 2 ignored, count, count x 24-byte entries (read whatever the status).
std::optional<std::vector<ParamEntry>> decodeAllCamStat(std::span<const uint8_t> payload);

// ChangeFFP: 16-bit 1 (focus-point mode on) or 0 (off).
std::vector<uint8_t> encodeChangeFFP(bool on);
// AdjFocusAction: the 16-bit motor action.
std::vector<uint8_t> encodeAdjFocusAction(uint16_t action);
// SetSpotAEMode: 16-bit 0 links spot metering to the focus point, 1 unlinks it.
std::vector<uint8_t> encodeSetSpotAEMode(bool linked);
// SetPreviewMode: 32-bit 1 (aperture preview on) or 0 (off).
std::vector<uint8_t> encodeSetPreviewMode(bool on);

// SetCustomWBGain: the two 16-bit gains.
std::vector<uint8_t> encodeSetCustomWBGain(uint16_t first, uint16_t second);
// GetPointWBGain: the grey point, two signed 32-bit values.
std::vector<uint8_t> encodeGetPointWBGain(int32_t x, int32_t y);

// Status followed, when it is 0, by `count` 16-bit values from offset 2
// (GetPresetWBGain: 4, GetPointWBGain: 3).
struct StatusAndGains {
    uint16_t status = 0;
    uint16_t gains[4] = {};
};
std::optional<StatusAndGains> decodeStatusAndGains(std::span<const uint8_t> payload, int count);

// SetIntervalMode: 32-bit 1 (start) or 0 (end).
std::vector<uint8_t> encodeSetIntervalMode(bool on);
// SetDateTime: the date word, then the time word.
std::vector<uint8_t> encodeSetDateTime(uint32_t dateWord, uint32_t timeWord);

// ---- Camera requests and the library's replies --------------------------
//
// A request gets an empty reply (kAckedEmpty1, kAckedEmpty2), the FileOpen
// reply, or a status reply (every other request the library answers).

// The 16-bit status reply.
std::vector<uint8_t> encodeStatusReply(uint16_t status);

struct StateNotice {
    uint16_t value = 0;
    uint16_t marker = 0;
};
std::optional<StateNotice> decodeStateNotice(std::span<const uint8_t> payload);

// One CamStatChanged entry: index, kind (1 current, 3 first auxiliary,
// 4 second auxiliary), value.
struct ParamChange {
    uint32_t index = 0;
    uint8_t kind = 0;
    int32_t value = 0;
};
std::optional<std::vector<ParamChange>> decodeCamStatChanged(std::span<const uint8_t> payload);

// FileOpen: 4 ignored bytes, character count n, n 16-bit characters (the low
// byte of each is the character).
std::optional<std::string> decodeFileOpen(std::span<const uint8_t> payload);
// The FileOpen reply: 32-bit 0 and the handle of the file opened for it, or
// 32-bit 1 and 0 when none could be.
std::vector<uint8_t> encodeFileOpenReply(std::optional<uint32_t> handle);

// FileIn: handle, data length L, 4 ignored bytes, then L bytes of data.
struct FileChunk {
    uint32_t handle = 0;
    std::span<const uint8_t> data;
};
std::optional<FileChunk> decodeFileIn(std::span<const uint8_t> payload);

// FileClose: handle.
std::optional<uint32_t> decodeFileClose(std::span<const uint8_t> payload);

}  // namespace fotolien
