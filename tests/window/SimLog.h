// What the window sent to the simulated camera, read from its packet log.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "orkasim.h"

namespace simlog {

using Setting = std::pair<int, int32_t>;  // parameter index, value on the wire

constexpr uint16_t kSetCamStat = 0x100C;
constexpr uint16_t kSetDateTime = 0x1028;

inline int32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return static_cast<int32_t>(b[at] | b[at + 1] << 8 | b[at + 2] << 16 |
                                static_cast<uint32_t>(b[at + 3]) << 24);
}

inline std::vector<orkasim::LogEntry> HostCommands(uint16_t code) {
    std::vector<orkasim::LogEntry> out;
    for (auto& e : orkasim::Camera::instance().log())
        if (e.direction == orkasim::Direction::HostToCamera && e.code == code)
            out.push_back(std::move(e));
    return out;
}

// The parameter changes the host sent, in order.
inline std::vector<Setting> SentSettings() {
    std::vector<Setting> out;
    for (const auto& e : HostCommands(kSetCamStat))
        if (e.bytes.size() >= 28)
            out.emplace_back(Le32(e.bytes, 16), Le32(e.bytes, 24));
    return out;
}

}  // namespace simlog
