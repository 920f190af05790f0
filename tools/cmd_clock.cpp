// orkactl clock: the camera's clock set to the computer's local time.
#include <algorithm>
#include <cstdio>
#include <ctime>

#include "camera_session.h"
#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

int runClock(const std::vector<std::string>& args) {
    if (!args.empty()) {
        fail("clock takes no arguments");
        return kUsage;
    }
    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    // Date word: year (16 bits), month, day; time word: hour, minute, second.
    const uint32_t year = static_cast<uint32_t>(local.tm_year + 1900);
    const uint32_t date = year | static_cast<uint32_t>(local.tm_mon + 1) << 16 |
                          static_cast<uint32_t>(local.tm_mday) << 24;
    const uint32_t time =
        static_cast<uint32_t>(local.tm_hour) | static_cast<uint32_t>(local.tm_min) << 8 |
        static_cast<uint32_t>(std::min(local.tm_sec, 59)) << 16;  // no leap second
    if (SyncCameraClock(date, time) != 0) {
        fail("the camera did not take the time");
        return kOperationFailed;
    }
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    std::printf("camera clock set to %s\n", text);
    return kDone;
}

}  // namespace orkactl
