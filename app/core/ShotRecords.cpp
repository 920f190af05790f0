#include "ShotRecords.h"

#include <QCoreApplication>

#include <algorithm>

#include "InterfaceOrka.h"

namespace orka {

std::array<int32_t, 2> ShotFocusPoint(const CameraStatusData& status,
                                      std::array<int32_t, 2> framePoint) {
    const bool pointChosen =
        status.focusMode == InterfaceOrka::FocusModeAF && status.focusPointMode == 0;
    const bool inside = framePoint[0] >= 0 && framePoint[0] < CameraFrameWidth &&
                        framePoint[1] >= 0 && framePoint[1] < CameraFrameHeight;
    if (pointChosen && inside)
        return framePoint;
    return {CameraFrameWidth / 2, CameraFrameHeight / 2};
}

void ShotRecords::Released(const ShotRecord& record) {
    if (pending_.size() == kMaxPending)
        pending_.pop_front();
    pending_.push_back(record);
}

std::optional<ShotRecord> ShotRecords::Landed(const std::string& number,
                                              ShotClock::time_point now) {
    if (!number.empty() && number == lastNumber_)
        return lastRecord_;
    while (!pending_.empty() && now - pending_.front().released > kMaxWait)
        pending_.pop_front();
    lastNumber_ = number;
    lastRecord_.reset();
    if (pending_.empty())
        return std::nullopt;
    lastRecord_ = pending_.front();
    pending_.pop_front();
    return lastRecord_;
}

QString OnScreenText(std::chrono::milliseconds elapsed) {
    const long long tenths = (std::max<long long>(elapsed.count(), 0) + 50) / 100;
    return QCoreApplication::translate("ShotRecords", "à l'écran en %1,%2 s")
        .arg(tenths / 10)
        .arg(tenths % 10);
}

}  // namespace orka
