// What the camera does for each host command, and the payload of its
// response (behind the status word).
#include <algorithm>
#include <limits>

#include "camera_impl.h"

namespace orkasim {

using namespace wire;

namespace {

constexpr size_t kAnySize = std::numeric_limits<size_t>::max();

// Payload size of each command; kAnySize where it varies or the command is
// one this camera only acknowledges.
size_t commandPayloadSize(uint16_t code) {
    switch (code) {
        case kOpen:
        case kShutdown:
        case kTerminateCapture:
        case kStartLV:
        case kEndLV:
        case kGetLVFrame:
        case kGetAllCamStat:
        case kChangeFDMMode:
        case kGetPresetWBGain:
        case kGetAfterViewImage:
            return 0;
        case kS1:
        case kAdjFocusAction:
        case kChangeFFP:
        case kSetSpotAEMode:
            return 2;
        case kClose:
        case kSetCustomWBGain:
        case kSetIntervalMode:
        case kSetLiveViewMode:
        case kSetPreviewMode:
            return 4;
        case kAfterView:
        case kSetFFPPos:
        case kSetDateTime:
        case kGetPointWBGain:
        case kSetFDMPos:
            return 8;
        case kCapture:
            return 16;
        default:
            return kAnySize;
    }
}

void putPoint(std::vector<uint8_t>& body, int x, int y) {
    put32(body, static_cast<uint32_t>(x));
    put32(body, static_cast<uint32_t>(y));
}

}  // namespace

std::vector<uint8_t> Camera::Impl::refusalBodyLocked(uint16_t code) const {
    std::vector<uint8_t> body;
    switch (code) {
        case kS1:
        case kSetFFPPos:
        case kSetFDMPos:
        case kGetPresetWBGain:
            body.assign(8, 0);
            break;
        case kGetPointWBGain:
            body.assign(6, 0);
            break;
        case kGetAllCamStat:
            body.assign(6, 0);  // two bytes, then an entry count of 0
            break;
        case kGetAfterViewImage:
            body.assign(10, 0);  // rest of the 12-byte sub-header, size 0
            break;
        case kGetLVFrame:
            // The readings still travel (the host stores them whatever the
            // status); no frame follows.
            put16(body, 0);
            put16(body, 0);
            put16(body, 0);
            put32(body, static_cast<uint32_t>(params.value(kPShutter)));
            put32(body, static_cast<uint32_t>(params.value(kPAperture)));
            put32(body, static_cast<uint32_t>(params.value(kPBattery)));
            put32(body, static_cast<uint32_t>(params.value(kPFrameReading)));
            put32(body, 0);
            break;
        default:
            break;
    }
    return body;
}

Response Camera::Impl::refuseLocked(uint16_t code, uint16_t status) const {
    Response response;
    response.status = status;
    response.body = refusalBodyLocked(code);
    return response;
}

Response Camera::Impl::executeLocked(uint16_t code, uint32_t transaction,
                                     const std::vector<uint8_t>& payload) {
    if (code != kOpen && !session.open)
        return refuseLocked(code, kStatusNoSession);
    const size_t size = commandPayloadSize(code);
    if (size != kAnySize && payload.size() != size) {
        errorLocked(errorText("command 0x%04X has %zu payload bytes, expected %zu", code,
                              payload.size(), size));
        return refuseLocked(code, kStatusBadPacket);
    }
    Reader in(payload.data(), payload.size());
    Response response;
    switch (code) {
        case kOpen:
            session.open = true;
            response.followUps.push_back(
                {faults.stateNoticeDelay, [this] { stateNoticeLocked(1, 1); }});
            break;
        case kClose:
            response.endsSession = true;
            break;
        case kS1:
            return halfPressLocked(in.u16());
        case kCapture:
            return captureLocked(transaction, payload);
        case kTerminateCapture:
            return terminateCaptureLocked();
        case kAfterView:
            return afterViewLocked(payload);
        case kGetAfterViewImage:
            return afterViewImageLocked();
        case kStartLV:
            if (!session.ready)
                return refuseLocked(code, kStatusNotReady);
            session.liveView = true;
            break;
        case kEndLV:
            session.liveView = false;
            break;
        case kGetLVFrame:
            if (!session.liveView)
                return refuseLocked(code, kStatusNoLiveView);
            if (session.capturing)
                return refuseLocked(code, kStatusBusy);
            return liveViewFrameLocked();
        case kSetCamStat:
            return setCamStatLocked(payload);
        case kGetAllCamStat:
            return allCamStatLocked();
        case kChangeFDMMode:
            // In and out of the magnified manual-focus view.
            changeParameterLocked(kPFocusView, params.value(kPFocusView) == 3 ? 0 : 3);
            break;
        case kAdjFocusAction:
            return focusActionLocked(in.u16());
        case kChangeFFP: {
            const uint16_t on = in.u16();
            if (on > 1)
                return refuseLocked(code, kStatusBadValue);
            changeParameterLocked(kPFocusPointMode, on == 1 ? 0 : 1);
            break;
        }
        case kSetFFPPos:
        case kSetFDMPos: {
            // The camera keeps the point inside its frame and answers the
            // point it uses.
            const int x = std::clamp(in.i32(), 0, kCameraFrameWidth);
            const int y = std::clamp(in.i32(), 0, kCameraFrameHeight);
            (code == kSetFFPPos ? controls.ffpX : controls.fdmX) = x;
            (code == kSetFFPPos ? controls.ffpY : controls.fdmY) = y;
            putPoint(response.body, x, y);
            break;
        }
        case kSetSpotAEMode: {
            const uint16_t mode = in.u16();
            if (mode > 1)
                return refuseLocked(code, kStatusBadValue);
            controls.spotFollowsFocusPoint = mode == 0;
            break;
        }
        case kSetDateTime: {
            const uint32_t date = in.u32();
            const uint32_t time = in.u32();
            const std::array<int, 6> clock = {
                static_cast<int>(date & 0xFFFF),      static_cast<int>((date >> 16) & 0xFF),
                static_cast<int>(date >> 24),         static_cast<int>(time & 0xFF),
                static_cast<int>((time >> 8) & 0xFF), static_cast<int>((time >> 16) & 0xFF)};
            const bool valid = clock[1] >= 1 && clock[1] <= 12 && clock[2] >= 1 && clock[2] <= 31 &&
                               clock[3] < 24 && clock[4] < 60 && clock[5] < 60;
            if (!valid)
                return refuseLocked(code, kStatusBadValue);
            controls.clock = clock;
            break;
        }
        case kGetPresetWBGain:
            put16(response.body, kPresetWbGains.d1);
            put16(response.body, kPresetWbGains.d2);
            put16(response.body, kPresetWbGains.t1);
            put16(response.body, kPresetWbGains.t2);
            break;
        case kSetCustomWBGain:
            controls.customGainFirst = in.u16();
            controls.customGainSecond = in.u16();
            break;
        case kGetPointWBGain: {
            const int x = in.i32();
            const int y = in.i32();
            const PointWbGains gains = pointGains(x, y);
            put16(response.body, gains.p1);
            put16(response.body, gains.p2);
            put16(response.body, gains.p3);
            break;
        }
        case kSetIntervalMode: {
            const uint32_t on = in.u32();
            if (on > 1)
                return refuseLocked(code, kStatusBadValue);
            session.intervalMode = on == 1;
            break;
        }
        case kSetLiveViewMode: {
            const uint32_t mode = in.u32();
            if (mode > 1)
                return refuseLocked(code, kStatusBadValue);
            session.liveViewMode = static_cast<int>(mode);
            response.followUps.push_back(
                {controls.liveViewReadyDelay, [this] { requestLocked(kLiveViewReady, {}); }});
            break;
        }
        case kSetPreviewMode: {
            const uint32_t on = in.u32();
            if (on > 1)
                return refuseLocked(code, kStatusBadValue);
            changeParameterLocked(kPAperturePreview, static_cast<int32_t>(on));
            break;
        }
        default:
            break;  // acknowledged
    }
    return response;
}

void Camera::Impl::changeParameterLocked(int index, int32_t value) {
    // The host's copy of the table follows through CamStatChanged, which
    // reaches it before the response that caused the change.
    if (params.value(index) == value)
        return;
    params.setValue(index, value);
    announceParametersLocked({index});
}

Response Camera::Impl::setCamStatLocked(const std::vector<uint8_t>& payload) {
    Reader in(payload.data(), payload.size());
    const uint32_t count = in.u32();
    if (!in.ok() || count == 0 || (payload.size() - 4) / 12 != count || (payload.size() - 4) % 12) {
        errorLocked(errorText("SetCamStat of %zu payload bytes does not hold its %u entries",
                              payload.size(), count));
        return refuseLocked(kSetCamStat, kStatusBadPacket);
    }
    std::vector<std::pair<int, int32_t>> changes;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t index = in.u32();
        const uint32_t kind = in.u32();  // kind byte and three zero bytes
        const int32_t value = in.i32();
        if (index >= kParameters || kind != 1) {
            errorLocked(
                errorText("SetCamStat entry with parameter %u and kind word 0x%08X", index, kind));
            return refuseLocked(kSetCamStat, kStatusBadValue);
        }
        changes.emplace_back(static_cast<int>(index), value);
    }
    for (const auto& [index, value] : changes)
        params.setValue(index, value);
    return {};
}

Response Camera::Impl::allCamStatLocked() const {
    Response response;
    std::vector<uint8_t>& body = response.body;
    body.reserve(6 + 24 * kParameters);
    put16(body, 0);
    put32(body, kParameters);
    for (int i = 0; i < kParameters; ++i) {
        const ParameterEntry& e = params.entry(i);
        put32(body, static_cast<uint32_t>(i));
        put32(body, 0);
        put32(body, static_cast<uint32_t>(e.value));
        put32(body, 0);
        put32(body, static_cast<uint32_t>(e.aux2));
        put32(body, static_cast<uint32_t>(e.aux1));
    }
    return response;
}

}  // namespace orkasim
