#include "protocol.h"

namespace orkasim::wire {

ReplyShape replyShape(uint16_t code) {
    switch (code) {
        case 0x2001:
        case 0x200D:
            return ReplyShape::Empty;
        case kFileOpen:
            return ReplyShape::FileHandle;
        case 0x2005:
        case 0x2018:
            return ReplyShape::None;
        default:
            break;
    }
    if ((code >= 0x2002 && code <= 0x2017) || code == 0x2019 || code == 0x2020) {
        return ReplyShape::Status16;
    }
    return ReplyShape::None;
}

std::optional<Header> parseHeader(const uint8_t* data, size_t size) {
    if (size < kHeaderSize)
        return std::nullopt;
    return Header{get32(data), get16(data + 4), get32(data + 8)};
}

std::vector<uint8_t> packet(uint16_t code, uint32_t transaction,
                            const std::vector<uint8_t>& payload) {
    std::vector<uint8_t> out;
    out.reserve(kHeaderSize + payload.size());
    put32(out, static_cast<uint32_t>(kHeaderSize + payload.size()));
    put16(out, code);
    put16(out, 0);
    put32(out, transaction);
    out.insert(out.end(), payload.begin(), payload.end());
    return out;
}

}  // namespace orkasim::wire
