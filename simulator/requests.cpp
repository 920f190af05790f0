// Requests the camera sends on its own initiative.
#include "camera_impl.h"

namespace orkasim {

using namespace wire;

void Camera::Impl::requestLocked(
    uint16_t code, const std::vector<uint8_t>& payload,
    std::function<void(uint32_t, const std::vector<uint8_t>&)> onReply) {
    lastRequestNumber = nextRequestNumber(lastRequestNumber);
    queueInLocked(packet(code, lastRequestNumber, payload));
    if (replyShape(code) != ReplyShape::None) {
        awaiting.push_back(PendingRequest{code, lastRequestNumber, std::move(onReply)});
    }
}

void Camera::Impl::stateNoticeLocked(uint16_t value, uint16_t marker) {
    std::vector<uint8_t> payload;
    put16(payload, value);
    put16(payload, marker);
    requestLocked(kCamStateNotice, payload);
    if (marker == 1)
        session.ready = value == 1;
}

void Camera::Impl::announceParametersLocked(const std::vector<int>& indexes) {
    std::vector<uint8_t> payload;
    put32(payload, static_cast<uint32_t>(indexes.size()));
    for (int index : indexes) {
        put32(payload, static_cast<uint32_t>(index));
        put32(payload, 1);  // kind 1: current value (three zero bytes follow the kind)
        put32(payload, static_cast<uint32_t>(params.value(index)));
    }
    requestLocked(kCamStatChanged, payload);
}

}  // namespace orkasim
