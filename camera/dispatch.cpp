#include "dispatch.h"

#include <mutex>

#include "commands.h"
#include "connection.h"
#include "packets.h"
#include "transfer.h"

namespace fotolien {

namespace {

void replyEmpty(void* device, uint16_t code) {
    sendReply(device, code, {});
}
void replyStatus(void* device, uint16_t code, uint16_t status = 0) {
    sendReply(device, code, encodeStatusReply(status));
}

// Picture responses (live-view frame, after-view image): with status 0 the
// payload becomes the stored picture, without a copy.
template <typename Header>
bool storePicture(StoredPicture& picture, const Header& h, size_t subHeaderSize,
                  ReceivedBytes&& payload) {
    if (h.status != 0) {
        return false;
    }
    picture.payload = std::move(payload);
    picture.offset = subHeaderSize;
    picture.width = h.width;
    picture.height = h.height;
    picture.size = h.size;
    picture.ready = true;
    return true;
}

// Applies one response; returns whether it counts as success. `mutex` held.
bool applyResponseLocked(Connection& c, uint16_t code, ReceivedBytes&& payload) {
    const auto status = decodeStatus(payload);
    bool ok = status && *status == 0;
    switch (code) {
        case op::kClose:
            if (ok) {
                // The thread ends after this packet; a read failing meanwhile
                // is part of closing, not a lost camera.
                c.stop = true;
                c.closeInProgress = true;
            }
            break;
        case op::kS1:
            if (c.press == PressState::Released) {
                const auto r = decodeStatusAndPoint(payload);
                ok = r && r->status == 0;
                if (ok) {
                    c.pressPoint[0] = r->x;
                    c.pressPoint[1] = r->y;
                }
                c.press = PressState::Pressed;
            } else {
                c.press = PressState::Released;
            }
            break;
        case op::kSetFFPPos:
        case op::kSetFDMPos: {
            const auto r = decodeStatusAndPoint(payload);
            ok = r && r->status == 0;
            if (ok) {
                int32_t* point = code == op::kSetFFPPos ? c.ffpPoint : c.fdmPoint;
                point[0] = r->x;
                point[1] = r->y;
            }
            break;
        }
        case op::kGetPresetWBGain:
        case op::kGetPointWBGain: {
            const bool preset = code == op::kGetPresetWBGain;
            const auto r = decodeStatusAndGains(payload, preset ? 4 : 3);
            ok = r && r->status == 0;
            if (ok) {
                uint16_t* gains = preset ? c.presetGains : c.pointGains;
                std::copy(r->gains, r->gains + (preset ? 4 : 3), gains);
            }
            break;
        }
        case op::kGetAllCamStat: {
            // The list is applied whatever the status; entries naming no
            // parameter are skipped.
            const auto entries = decodeAllCamStat(payload);
            if (!entries) {
                ok = false;
                break;
            }
            for (const ParamEntry& e : *entries) {
                if (e.index < kParameterCount) {
                    c.parameters[e.index] = Parameter{e.value, e.aux1, e.aux2};
                }
            }
            break;
        }
        case op::kGetLVFrame: {
            const auto h = decodeFrameHeader(payload);
            if (!h) {
                ok = false;
                break;
            }
            c.parameters[param::kShutterSpeed].value = h->shutter;
            c.parameters[param::kAperture].value = h->aperture;
            c.parameters[param::kBattery].value = h->battery;
            c.parameters[param::kParam36].value = h->param36;
            ok = storePicture(c.liveFrame, *h, kFrameSubHeaderSize, std::move(payload));
            break;
        }
        case op::kGetAfterViewImage: {
            const auto h = decodeImageHeader(payload);
            ok = h && storePicture(c.afterView, *h, kImageSubHeaderSize, std::move(payload));
            break;
        }
        default:
            break;
    }
    return ok;
}

void applyParameterChanges(Connection& c, const std::vector<ParamChange>& changes) {
    std::lock_guard lock(c.mutex);
    for (const ParamChange& e : changes) {
        if (e.index >= kParameterCount) {
            continue;
        }
        Parameter& p = c.parameters[e.index];
        switch (e.kind) {
            case 1:
                p.value = e.value;
                break;
            case 3:
                p.aux1 = e.value;
                break;
            case 4:
                p.aux2 = e.value;
                break;
            default:
                break;
        }
    }
}

}  // namespace

void dispatchResponse(Connection& c, uint16_t code, ReceivedBytes* payload) {
    std::lock_guard lock(c.mutex);
    c.serving = nextCommandNumber(c.serving);
    if (code >= op::kFirstCommand && code <= op::kLastCommand) {
        ResponseFlags& flags = c.responseLocked(code);
        if (payload != nullptr) {
            flags.succeeded = applyResponseLocked(c, code, std::move(*payload));
        } else {
            // Malformed: the S1 press state still turns, nothing is stored.
            if (code == op::kS1) {
                c.press =
                    c.press == PressState::Released ? PressState::Pressed : PressState::Released;
            }
            flags.succeeded = false;
        }
        flags.completed = true;
    }
    if (c.outstanding > 0) {
        --c.outstanding;
    }
    c.changed.notify_all();
}

AfterDispatch dispatchRequest(Connection& c, void* device, uint16_t code,
                              std::span<const uint8_t> payload) {
    switch (code) {
        case op::kAckedEmpty1:
        case op::kAckedEmpty2:
            replyEmpty(device, code);
            break;
        case op::kCameraClosing:
        case op::kCameraEnding:
            replyStatus(device, code);
            return AfterDispatch::EndSession;
        case op::kCamStateNotice: {
            const auto notice = decodeStateNotice(payload);
            if (!notice) {
                break;
            }
            replyStatus(device, code);
            if (notice->marker == 1) {
                std::lock_guard lock(c.mutex);
                c.cameraState = notice->value;
            }
            break;
        }
        case op::kLiveViewReady: {
            replyStatus(device, code);
            std::lock_guard lock(c.mutex);
            c.liveViewReady = true;
            c.changed.notify_all();
            break;
        }
        case op::kCamStatChanged: {
            const auto changes = decodeCamStatChanged(payload);
            if (!changes) {
                break;
            }
            replyStatus(device, code);
            applyParameterChanges(c, *changes);
            break;
        }
        case op::kFileOpen: {
            const auto name = decodeFileOpen(payload);
            if (!name) {
                break;
            }
            const auto handle = transfer::openFile(c, *name);
            sendReply(device, code, encodeFileOpenReply(handle));
            break;
        }
        case op::kFileIn: {
            const auto chunk = decodeFileIn(payload);
            if (!chunk) {
                break;
            }
            const bool known = transfer::appendToFile(c, chunk->handle, chunk->data);
            replyStatus(device, code, known ? 0 : 1);
            break;
        }
        case op::kFileClose: {
            const auto handle = decodeFileClose(payload);
            if (!handle) {
                break;
            }
            const bool known = transfer::closeFile(c, *handle);
            replyStatus(device, code, known ? 0 : 1);
            break;
        }
        default:
            if (isAckedWithStatus(code)) {
                replyStatus(device, code);
            }
            break;
    }
    return AfterDispatch::Continue;
}

}  // namespace fotolien
