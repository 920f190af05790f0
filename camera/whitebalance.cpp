// Custom white balance from a temperature and CC index, or from a grey
// point the camera measures; the colour model is in wbmodel.
#include "commands.h"
#include "connection.h"
#include "fotolien.h"
#include "packets.h"
#include "session.h"
#include "wbmodel.h"

namespace fotolien {

namespace {

wb::Presets presets() {
    Connection& c = connection();
    std::lock_guard lock(c.mutex);
    return wb::Presets{c.presetGains[0], c.presetGains[1], c.presetGains[2], c.presetGains[3]};
}

int sendGains(uint16_t first, uint16_t second) {
    return sendCommand(op::kSetCustomWBGain, encodeSetCustomWBGain(first, second));
}

}  // namespace

}  // namespace fotolien

using namespace fotolien;

int32_t SetCustomWBParameter(uint32_t word) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode()) {
            return kFailed;
        }
        const wb::Setting setting = wb::decodeWord(word);
        const wb::Gains gains = wb::gainsFor(presets(), setting.temperature, setting.cc);
        if (gains.outcome != wb::Outcome::Ok) {
            return wb::exportResult(gains.outcome);
        }
        return exportResult(sendGains(gains.first, gains.second));
    });
}

int32_t SetCustomWBGrayPoint(int32_t x, int32_t y, uint16_t result[2]) {
    return guarded(kFailed, [&]() -> int32_t {
        if (!inControlMode() || result == nullptr) {
            return kFailed;
        }
        if (sendCommand(op::kGetPointWBGain, encodeGetPointWBGain(x, y)) != 0) {
            return kFailed;
        }
        uint16_t p[3];
        {
            Connection& c = connection();
            std::lock_guard lock(c.mutex);
            std::copy(c.pointGains, c.pointGains + 3, p);
        }
        const wb::GreyPoint grey = wb::fromGreyPoint(presets(), p[0], p[1], p[2]);
        if (grey.outcome != wb::Outcome::Ok) {
            return wb::exportResult(grey.outcome);
        }
        if (sendGains(grey.first, grey.second) != 0) {
            return kFailed;
        }
        result[0] = grey.setting.temperature;
        result[1] = static_cast<uint16_t>(grey.setting.cc);
        return kOk;
    });
}
