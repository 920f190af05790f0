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

std::vector<uint8_t> encodeSetCamStat(uint32_t index, int32_t value) {
    return PayloadBuilder{}.u32(1).u32(index).u8(1).u8(0).u8(0).u8(0).s32(value).bytes();
}

std::optional<uint16_t> decodeStatus(std::span<const uint8_t> payload) {
    if (payload.size() < 2) {
        return std::nullopt;
    }
    return load16(&payload[0]);
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
