// orkactl liveview: preview frames for a while, and the frame rate.
#include <cstdio>
#include <vector>

#include "camera_session.h"
#include "fotolien.h"
#include "orkactl.h"

namespace orkactl {

namespace {

bool saveFrame(const std::string& directory, long number, const std::vector<uint8_t>& frame) {
    char name[32];
    std::snprintf(name, sizeof name, "/frame-%05ld.jpg", number);
    FILE* out = std::fopen((directory + name).c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(frame.data(), 1, frame.size(), out) == frame.size();
    return std::fclose(out) == 0 && written;
}

}  // namespace

int runLiveView(const std::vector<std::string>& args) {
    const auto options = Options::parse(args, {"seconds", "mode", "save"});
    if (!options) {
        return kUsage;
    }
    const auto seconds = options->real("seconds", 5, 0, 86400);
    const auto mode = options->integer("mode", 1, 0, 1);
    if (!seconds || !mode) {
        return kUsage;
    }
    const std::string saveTo = options->text("save", "");

    CameraSession session;
    if (const int rc = session.open(); rc != kDone) {
        return rc;
    }
    if (SetLiveViewMode(static_cast<int32_t>(*mode)) != 0) {
        fail("the camera did not switch its preview mode");
        return kOperationFailed;
    }
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(
                                 std::chrono::duration<double>(*seconds));
    std::vector<uint8_t> frame;
    LiveViewInfo info{};
    long frames = 0;
    while (Clock::now() < end) {
        if (LiveViewGetInfo(&info) != 0) {
            fail("no preview frame came");
            return kOperationFailed;
        }
        frame.resize(info.size);
        if (info.size == 0 || LiveViewGetFrame(frame.data(), info.size, nullptr) != 0) {
            fail("could not copy the preview frame");
            return kOperationFailed;
        }
        ++frames;
        if (!saveTo.empty() && !saveFrame(saveTo, frames, frame)) {
            fail("could not save frame " + std::to_string(frames) + " in " + saveTo);
            return kOperationFailed;
        }
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("%ld frames of %ux%u in %.2f s: %.1f frames/s\n", frames, info.width, info.height,
                elapsed, elapsed > 0 ? frames / elapsed : 0.0);
    return kDone;
}

}  // namespace orkactl
