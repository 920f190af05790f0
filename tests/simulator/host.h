// A minimal host for driving the simulated camera in tests: numbered
// commands and replies as byte vectors on bulkOut, whole messages from
// bulkIn.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "orkasim.h"
#include "protocol.h"

namespace orkasim::test {

struct Packet {
    uint16_t code = 0;
    uint32_t transaction = 0;
    std::vector<uint8_t> payload;
    uint16_t status() const { return payload.size() >= 2 ? wire::get16(payload.data()) : 0xFFFF; }
};

class Host {
  public:
    Camera& camera = Camera::instance();
    uint32_t nextCommand = 0;
    uint32_t nextReply = 0xA0000000;

    // Sends a command with the next command number; returns that number.
    uint32_t command(uint16_t code, const std::vector<uint8_t>& payload = {}) {
        nextCommand = wire::nextCommandNumber(nextCommand);
        send(wire::packet(code, nextCommand, payload));
        return nextCommand;
    }
    void reply(uint16_t code, const std::vector<uint8_t>& payload) {
        nextReply = wire::nextRequestNumber(nextReply);
        send(wire::packet(code, nextReply, payload));
    }
    UsbResult send(const std::vector<uint8_t>& bytes, uint32_t timeoutMs = 1000) {
        return camera.bulkOut(bytes.data(), bytes.size(), timeoutMs);
    }
    // One whole packet (read as the transport does: header first, then the
    // rest the length field announces), or nothing within the limit.
    std::optional<Packet> read(uint32_t timeoutMs = 2000) {
        if (chunk_.empty())
            chunk_.resize(1 << 20);
        size_t got = 0;
        if (camera.bulkIn(chunk_.data(), chunk_.size(), timeoutMs, &got, nullptr) !=
            UsbResult::Ok) {
            return std::nullopt;
        }
        const auto header = wire::parseHeader(chunk_.data(), got);
        if (!header)
            return std::nullopt;
        std::vector<uint8_t> bytes(chunk_.begin(), chunk_.begin() + got);
        while (bytes.size() < header->length && got == chunk_.size()) {
            if (camera.bulkIn(chunk_.data(), chunk_.size(), timeoutMs, &got, nullptr) !=
                UsbResult::Ok) {
                return std::nullopt;
            }
            bytes.insert(bytes.end(), chunk_.begin(), chunk_.begin() + got);
        }
        return Packet{header->code, header->transaction,
                      std::vector<uint8_t>(bytes.begin() + wire::kHeaderSize, bytes.end())};
    }
    // Open, then the state notice (answered), as a connection starts.
    void open() {
        camera.setStateNoticeDelay(std::chrono::milliseconds(1));
        nextCommand = 0;
        command(wire::kOpen);
        read();
        auto notice = read();
        if (notice)
            reply(notice->code, {0, 0});
    }
    // Sends a command and returns its response, answering the camera's
    // requests that come first (status 0).
    std::optional<Packet> call(uint16_t code, const std::vector<uint8_t>& payload = {}) {
        command(code, payload);
        for (;;) {
            auto packet = read();
            if (!packet || packet->transaction <= wire::kLastCommandNumber)
                return packet;
            answer(*packet);
        }
    }
    void answer(const Packet& request) {
        switch (wire::replyShape(request.code)) {
            case wire::ReplyShape::Status16:
                reply(request.code, {0, 0});
                break;
            case wire::ReplyShape::Empty:
                reply(request.code, {});
                break;
            case wire::ReplyShape::FileHandle:
                reply(request.code, {0, 0, 0, 0, 7, 0, 0, 0});
                break;
            case wire::ReplyShape::None:
                break;
        }
    }

    // A file as the host receives it.
    struct File {
        std::string name;
        std::vector<uint8_t> bytes;
        int fileIns = 0;
        std::vector<uint32_t> quotedHandles;  // by FileIn and FileClose
    };
    // Answers the camera's requests until `count` files have been closed (or
    // nothing comes for `timeoutMs`), handing out `handle` for each FileOpen.
    std::vector<File> receiveFiles(size_t count, uint32_t handle = 7, uint32_t timeoutMs = 5000) {
        std::vector<File> files;
        std::optional<File> open;
        while (files.size() < count) {
            auto p = read(timeoutMs);
            if (!p)
                break;
            if (p->code == wire::kFileOpen && p->payload.size() >= 8) {
                open = File{};
                const uint32_t n = wire::get32(p->payload.data() + 4);
                for (uint32_t i = 0; i < n && 8 + 2 * i + 1 < p->payload.size(); ++i) {
                    open->name.push_back(static_cast<char>(p->payload[8 + 2 * i]));
                }
                reply(wire::kFileOpen, u32({0, handle}));
            } else if (p->code == wire::kFileIn && open && p->payload.size() >= 12) {
                open->quotedHandles.push_back(wire::get32(p->payload.data()));
                open->bytes.insert(open->bytes.end(), p->payload.begin() + 12, p->payload.end());
                ++open->fileIns;
                answer(*p);
            } else if (p->code == wire::kFileClose && open) {
                open->quotedHandles.push_back(wire::get32(p->payload.data()));
                files.push_back(std::move(*open));
                open.reset();
                answer(*p);
            } else {
                answer(*p);
            }
        }
        return files;
    }

  private:
    static std::vector<uint8_t> u32(std::initializer_list<uint32_t> values) {
        std::vector<uint8_t> out;
        for (uint32_t v : values)
            wire::put32(out, v);
        return out;
    }
    std::vector<uint8_t> chunk_;  // one bulk-in request
};

inline std::vector<uint8_t> u32s(std::initializer_list<uint32_t> values) {
    std::vector<uint8_t> out;
    for (uint32_t v : values)
        wire::put32(out, v);
    return out;
}
inline std::vector<uint8_t> u16s(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> out;
    for (uint16_t v : values)
        wire::put16(out, v);
    return out;
}

}  // namespace orkasim::test
