#include "packets.h"

#include <algorithm>

namespace fotolien {

namespace {

// Entry sizes of the two parameter lists.
constexpr size_t kAllCamStatEntry = 24;
constexpr size_t kCamStatChangedEntry = 12;

// A list of `count` entries of `entrySize` bytes starting at `offset` fits
// in `size` bytes (computed without overflow).
bool listFits(size_t size, size_t offset, uint32_t count, size_t entrySize) {
    return offset <= size && count <= (size - offset) / entrySize;
}

}  // namespace

std::optional<PacketHeader> decodeHeader(std::span<const uint8_t> bytes) {
    if (bytes.size() < kHeaderSize) {
        return std::nullopt;
    }
    PacketHeader h;
    h.length = load32(&bytes[0]);
    h.code = load16(&bytes[4]);
    h.transaction = load32(&bytes[8]);
    if (h.length < kHeaderSize || h.length > kMaxPacketLength) {
        return std::nullopt;
    }
    return h;
}

std::vector<uint8_t> encodePacket(uint16_t code, uint32_t transaction,
                                  std::span<const uint8_t> payload) {
    std::vector<uint8_t> packet(kHeaderSize + payload.size());
    store32(&packet[0], static_cast<uint32_t>(packet.size()));
    store16(&packet[4], code);
    store16(&packet[6], 0);
    store32(&packet[8], transaction);
    std::copy(payload.begin(), payload.end(), packet.begin() + kHeaderSize);
    return packet;
}

std::optional<uint16_t> decodeStatus(std::span<const uint8_t> payload) {
    if (payload.size() < 2) {
        return std::nullopt;
    }
    return load16(&payload[0]);
}

std::vector<uint8_t> encodeClose(uint16_t mode, uint16_t argument) {
    return PayloadBuilder{}.u16(mode).u16(argument).bytes();
}

std::vector<uint8_t> encodeS1(bool press) {
    return PayloadBuilder{}.u16(press ? 1 : 0).bytes();
}

std::vector<uint8_t> encodePosition(int32_t x, int32_t y) {
    return PayloadBuilder{}.s32(x).s32(y).bytes();
}

std::optional<StatusAndPoint> decodeStatusAndPoint(std::span<const uint8_t> payload) {
    const auto status = decodeStatus(payload);
    if (!status) {
        return std::nullopt;
    }
    StatusAndPoint r;
    r.status = *status;
    if (r.status == 0) {
        if (payload.size() < 10) {
            return std::nullopt;
        }
        r.x = loadS32(&payload[2]);
        r.y = loadS32(&payload[6]);
    }
    return r;
}

std::vector<uint8_t> encodeCapture(int32_t driveMode, int32_t imageSize, int32_t quality,
                                   int32_t seconds) {
    return PayloadBuilder{}
        .s32(driveMode)
        .s32(imageSize)
        .s32(quality)
        .u32(static_cast<uint32_t>(seconds) * 1000u)
        .bytes();
}

std::vector<uint8_t> encodeAfterView(bool discard, uint32_t captureNumber) {
    return PayloadBuilder{}.u32(discard ? 1 : 0).u32(captureNumber).bytes();
}

std::optional<ImageHeader> decodeImageHeader(std::span<const uint8_t> payload) {
    if (payload.size() < kImageSubHeaderSize) {
        return std::nullopt;
    }
    const uint8_t* p = payload.data();
    ImageHeader h;
    h.status = load16(p);
    h.width = load16(p + 4);
    h.height = load16(p + 6);
    h.size = load32(p + 8);
    if (h.status == 0 &&
        (h.size > kMaxDataSize || payload.size() - kImageSubHeaderSize != h.size)) {
        return std::nullopt;
    }
    return h;
}

std::vector<uint8_t> encodeSetLiveViewMode(int32_t mode) {
    return PayloadBuilder{}.s32(mode).bytes();
}

std::optional<FrameHeader> decodeFrameHeader(std::span<const uint8_t> payload) {
    if (payload.size() < kFrameSubHeaderSize) {
        return std::nullopt;
    }
    const uint8_t* p = payload.data();
    FrameHeader h;
    h.status = load16(p);
    h.width = load16(p + 4);
    h.height = load16(p + 6);
    h.shutter = loadS32(p + 8);
    h.aperture = loadS32(p + 12);
    h.battery = loadS32(p + 16);
    h.param36 = loadS32(p + 20);
    h.size = load32(p + 24);
    if (h.status == 0 &&
        (h.size > kMaxDataSize || payload.size() - kFrameSubHeaderSize != h.size)) {
        return std::nullopt;
    }
    return h;
}

std::vector<uint8_t> encodeSetCamStat(uint32_t index, int32_t value) {
    return PayloadBuilder{}.u32(1).u32(index).u8(1).u8(0).u8(0).u8(0).s32(value).bytes();
}

std::optional<std::vector<ParamEntry>> decodeAllCamStat(std::span<const uint8_t> payload) {
    if (payload.size() < 8) {
        return std::nullopt;
    }
    const uint32_t count = load32(&payload[4]);
    if (!listFits(payload.size(), 8, count, kAllCamStatEntry)) {
        return std::nullopt;
    }
    std::vector<ParamEntry> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = &payload[8 + i * kAllCamStatEntry];
        entries[i].index = load32(e);
        entries[i].value = loadS32(e + 8);
        entries[i].aux2 = loadS32(e + 16);
        entries[i].aux1 = loadS32(e + 20);
    }
    return entries;
}

std::vector<uint8_t> encodeChangeFFP(bool on) {
    return PayloadBuilder{}.u16(on ? 1 : 0).bytes();
}

std::vector<uint8_t> encodeAdjFocusAction(uint16_t action) {
    return PayloadBuilder{}.u16(action).bytes();
}

std::vector<uint8_t> encodeSetSpotAEMode(bool linked) {
    return PayloadBuilder{}.u16(linked ? 0 : 1).bytes();
}

std::vector<uint8_t> encodeSetPreviewMode(bool on) {
    return PayloadBuilder{}.u32(on ? 1 : 0).bytes();
}

std::vector<uint8_t> encodeSetCustomWBGain(uint16_t first, uint16_t second) {
    return PayloadBuilder{}.u16(first).u16(second).bytes();
}

std::vector<uint8_t> encodeGetPointWBGain(int32_t x, int32_t y) {
    return PayloadBuilder{}.s32(x).s32(y).bytes();
}

std::optional<StatusAndGains> decodeStatusAndGains(std::span<const uint8_t> payload, int count) {
    const auto status = decodeStatus(payload);
    if (!status || count < 0 || count > 4) {
        return std::nullopt;
    }
    StatusAndGains r;
    r.status = *status;
    if (r.status == 0) {
        if (payload.size() < 2 + 2 * static_cast<size_t>(count)) {
            return std::nullopt;
        }
        for (int i = 0; i < count; ++i) {
            r.gains[i] = load16(&payload[2 + 2 * i]);
        }
    }
    return r;
}

std::vector<uint8_t> encodeSetIntervalMode(bool on) {
    return PayloadBuilder{}.u32(on ? 1 : 0).bytes();
}

std::vector<uint8_t> encodeSetDateTime(uint32_t dateWord, uint32_t timeWord) {
    return PayloadBuilder{}.u32(dateWord).u32(timeWord).bytes();
}

std::vector<uint8_t> encodeStatusReply(uint16_t status) {
    return PayloadBuilder{}.u16(status).bytes();
}

std::optional<StateNotice> decodeStateNotice(std::span<const uint8_t> payload) {
    if (payload.size() < 4) {
        return std::nullopt;
    }
    return StateNotice{load16(&payload[0]), load16(&payload[2])};
}

std::optional<std::vector<ParamChange>> decodeCamStatChanged(std::span<const uint8_t> payload) {
    if (payload.size() < 4) {
        return std::nullopt;
    }
    const uint32_t count = load32(&payload[0]);
    if (!listFits(payload.size(), 4, count, kCamStatChangedEntry)) {
        return std::nullopt;
    }
    std::vector<ParamChange> entries(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* e = &payload[4 + i * kCamStatChangedEntry];
        entries[i].index = load32(e);
        entries[i].kind = e[4];
        entries[i].value = loadS32(e + 8);
    }
    return entries;
}

std::optional<std::string> decodeFileOpen(std::span<const uint8_t> payload) {
    if (payload.size() < 8) {
        return std::nullopt;
    }
    const uint32_t count = load32(&payload[4]);
    if (!listFits(payload.size(), 8, count, 2)) {
        return std::nullopt;
    }
    std::string name(count, '\0');
    for (uint32_t i = 0; i < count; ++i) {
        name[i] = static_cast<char>(payload[8 + 2 * i]);
    }
    return name;
}

std::vector<uint8_t> encodeFileOpenReply(std::optional<uint32_t> handle) {
    return PayloadBuilder{}.u32(handle ? 0 : 1).u32(handle.value_or(0)).bytes();
}

std::optional<FileChunk> decodeFileIn(std::span<const uint8_t> payload) {
    if (payload.size() < 12) {
        return std::nullopt;
    }
    const uint32_t length = load32(&payload[4]);
    if (length > payload.size() - 12) {
        return std::nullopt;
    }
    return FileChunk{load32(&payload[0]), payload.subspan(12, length)};
}

std::optional<uint32_t> decodeFileClose(std::span<const uint8_t> payload) {
    if (payload.size() < 4) {
        return std::nullopt;
    }
    return load32(&payload[0]);
}

}  // namespace fotolien
