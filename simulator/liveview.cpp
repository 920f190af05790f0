// Live view: GetLVFrame answers with the camera's readings and one JPEG
// frame of the scene (320 x 240 in mode 0, 544 x 408 in mode 1), rendered
// for each request or taken from a pre-rendered loop; GetAfterViewImage
// answers with the picture of the capture in progress at the same size.
#include <cmath>

#include "camera_impl.h"

namespace orkasim {

using namespace wire;

namespace {

constexpr int kFrameQuality = 85;

int frameWidth(int mode) {
    return mode == 1 ? 544 : 320;
}
int frameHeight(int mode) {
    return mode == 1 ? 408 : 240;
}

}  // namespace

SceneSettings Camera::Impl::sceneSettingsLocked() const {
    std::array<int32_t, kParameters> values;
    for (int i = 0; i < kParameters; ++i)
        values[i] = params.value(i);
    SceneSettings settings = settingsFromParameters(values);
    settings.customGainFirst = controls.customGainFirst;
    settings.customGainSecond = controls.customGainSecond;
    return settings;
}

double Camera::Impl::sceneSecondsLocked() const {
    return std::chrono::duration<double>(Clock::now() - born).count();
}

Response Camera::Impl::liveViewFrameLocked() {
    const int mode = session.liveViewMode;
    const SceneSettings settings = sceneSettingsLocked();
    const ExposureReading reading = exposureReading(settings);

    Response response;
    Bytes& body = response.body;
    put16(body, 0);
    put16(body, static_cast<uint16_t>(frameWidth(mode)));
    put16(body, static_cast<uint16_t>(frameHeight(mode)));
    put32(body, static_cast<uint32_t>(reading.shutterCode));
    put32(body, static_cast<uint32_t>(reading.apertureCode));
    put32(body, static_cast<uint32_t>(params.value(kPBattery)));
    put32(body, static_cast<uint32_t>(params.value(kPFrameReading)));

    // The frame itself: from the loop, or rendered on the timer thread.
    auto withSize = [](const Bytes& frame) {
        Bytes tail;
        tail.reserve(4 + frame.size());
        put32(tail, static_cast<uint32_t>(frame.size()));
        tail.insert(tail.end(), frame.begin(), frame.end());
        return tail;
    };
    const auto& loop = liveView.loops[mode];
    if (!loop.empty()) {
        const Bytes tail = withSize(*loop[liveView.nextFrame++ % loop.size()]);
        body.insert(body.end(), tail.begin(), tail.end());
    } else {
        response.produce = [this, mode, settings, seconds = sceneSecondsLocked(), withSize] {
            return withSize(scene.renderJpeg(frameWidth(mode), frameHeight(mode), settings, seconds,
                                             kFrameQuality));
        };
    }
    if (liveView.maxFramesPerSecond > 0) {
        const auto period = std::chrono::duration_cast<Clock::duration>(
            std::chrono::duration<double>(1.0 / liveView.maxFramesPerSecond));
        const auto now = Clock::now();
        liveView.lastFrame = std::max(now, liveView.lastFrame + period);
        response.notBefore = liveView.lastFrame;
    }
    ++counters.framesServed;
    return response;
}

Response Camera::Impl::afterViewImageLocked() {
    if (!session.capture || params.value(kPAfterView) != 3) {
        return refuseLocked(kGetAfterViewImage, kStatusNoImage);
    }
    const int mode = session.liveViewMode;
    Response response;
    put16(response.body, 0);
    put16(response.body, static_cast<uint16_t>(frameWidth(mode)));
    put16(response.body, static_cast<uint16_t>(frameHeight(mode)));
    response.produce = [this, mode, capture = *session.capture] {
        const Bytes image = scene.renderJpeg(frameWidth(mode), frameHeight(mode), capture.settings,
                                             capture.sceneSeconds, kFrameQuality);
        Bytes tail;
        put32(tail, static_cast<uint32_t>(image.size()));
        tail.insert(tail.end(), image.begin(), image.end());
        return tail;
    };
    return response;
}

// ---- control side ----------------------------------------------------------

void Camera::prerenderFrames(int count) {
    SceneSettings settings;
    {
        std::lock_guard lock(impl_->m);
        settings = impl_->sceneSettingsLocked();
    }
    std::array<std::vector<std::shared_ptr<const Bytes>>, 2> loops;
    for (int mode = 0; mode < 2 && count > 0; ++mode) {
        for (const Bytes& frame :
             impl_->scene.prerender(frameWidth(mode), frameHeight(mode), settings, count)) {
            loops[mode].push_back(std::make_shared<const Bytes>(frame));
        }
    }
    std::lock_guard lock(impl_->m);
    impl_->liveView.loops = std::move(loops);
    impl_->liveView.nextFrame = 0;
}

void Camera::setFrameRateLimit(double framesPerSecond) {
    std::lock_guard lock(impl_->m);
    impl_->liveView.maxFramesPerSecond =
        std::isfinite(framesPerSecond) && framesPerSecond > 0 ? framesPerSecond : 0;
}

void Camera::setSceneChange(int x, int y, int width, int height) {
    impl_->scene.setChange(Rect{x, y, width, height});
}

void Camera::clearSceneChange() {
    impl_->scene.setChange(std::nullopt);
}

}  // namespace orkasim
