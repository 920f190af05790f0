// Live view and the after-view picture as the camera serves them.
#include <gtest/gtest.h>

#include "host.h"
#include "jpeg.h"
#include "parameters.h"

namespace orkasim::test {
namespace {

using namespace std::chrono_literals;
using namespace wire;

class LiveView : public ::testing::Test {
  protected:
    void SetUp() override {
        camera.reset();
        host.open();
        ASSERT_EQ(host.call(kStartLV)->status(), 0);
    }
    void TearDown() override { camera.reset(); }

    struct Frame {
        uint16_t status, width, height;
        uint32_t shutter, aperture, battery, reading;
        std::vector<uint8_t> jpeg;
    };
    Frame frame() {
        auto p = host.call(kGetLVFrame);
        EXPECT_TRUE(p);
        Frame f{};
        if (!p || p->payload.size() < 28) {
            ADD_FAILURE() << "no frame sub-header";
            return f;
        }
        const uint8_t* h = p->payload.data();
        f = {get16(h),      get16(h + 4),  get16(h + 6),  get32(h + 8),
             get32(h + 12), get32(h + 16), get32(h + 20), {}};
        const uint32_t size = get32(h + 24);
        EXPECT_EQ(p->payload.size(), 28u + size);
        f.jpeg.assign(p->payload.begin() + 28, p->payload.end());
        return f;
    }

    Host host;
    Camera& camera = host.camera;
};

// Mean of |r - g| + |g - b| over the picture: 0 for a grey picture.
double colourfulness(const RgbImage& image) {
    double sum = 0;
    for (size_t i = 0; i + 2 < image.pixels.size(); i += 3) {
        sum += std::abs(image.pixels[i] - image.pixels[i + 1]) +
               std::abs(image.pixels[i + 1] - image.pixels[i + 2]);
    }
    return sum / (image.pixels.size() / 3);
}

double brightness(const RgbImage& image) {
    double sum = 0;
    for (uint8_t v : image.pixels)
        sum += v;
    return sum / image.pixels.size();
}

TEST_F(LiveView, FramesAreJpegStreamsOfTheModesSize) {
    Frame small = frame();
    EXPECT_EQ(small.status, 0);
    EXPECT_EQ(small.width, 320);
    EXPECT_EQ(small.height, 240);
    RgbImage image = decodeJpeg(small.jpeg);
    EXPECT_EQ(image.width, 320);
    EXPECT_EQ(image.height, 240);

    ASSERT_EQ(host.call(kSetLiveViewMode, u32s({1}))->status(), 0);
    Frame large = frame();  // the LiveViewReady request is answered on the way
    EXPECT_EQ(large.width, 544);
    EXPECT_EQ(large.height, 408);
    EXPECT_EQ(decodeJpeg(large.jpeg).width, 544);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

TEST_F(LiveView, FramesCarryTheCamerasReadings) {
    camera.setParameter(kPExposureProgram, 3);  // manual: the set values are used
    camera.setParameter(kPShutter, 88);
    camera.setParameter(kPAperture, 40);
    camera.setParameter(kPBattery, 1);
    camera.setParameter(kPFrameReading, 77);
    Frame f = frame();
    EXPECT_EQ(f.shutter, 88u);
    EXPECT_EQ(f.aperture, 40u);
    EXPECT_EQ(f.battery, 1u);
    EXPECT_EQ(f.reading, 77u);
}

TEST_F(LiveView, SettingsChangeWhatTheFrameShows) {
    camera.setParameter(kPExposureProgram, 3);
    const RgbImage normal = decodeJpeg(frame().jpeg);
    camera.setParameter(kPShutter, 104 - 16);  // two stops more light
    const RgbImage brighter = decodeJpeg(frame().jpeg);
    EXPECT_GT(brightness(brighter), brightness(normal) + 10);

    camera.setParameter(kPColorMode, 1);  // black and white
    EXPECT_GT(colourfulness(normal), 5.0);
    EXPECT_LT(colourfulness(decodeJpeg(frame().jpeg)), 2.0);
}

TEST_F(LiveView, ASceneChangeShowsInsideItsRectangle) {
    const RgbImage before = decodeJpeg(frame().jpeg);
    camera.setSceneChange(100, 60, 40, 30);
    const RgbImage after = decodeJpeg(frame().jpeg);
    auto difference = [&](int x0, int y0, int w, int h) {
        double sum = 0;
        for (int y = y0; y < y0 + h; ++y) {
            for (int x = x0; x < x0 + w; ++x) {
                const size_t i = (static_cast<size_t>(y) * before.width + x) * 3;
                sum += std::abs(before.pixels[i] - after.pixels[i]);
            }
        }
        return sum / (w * h);
    };
    EXPECT_GT(difference(105, 65, 30, 20), 40.0);
    EXPECT_LT(difference(200, 150, 40, 30), 10.0);
}

TEST_F(LiveView, PrerenderedFramesAreServedInALoop) {
    camera.prerenderFrames(3);
    std::vector<std::vector<uint8_t>> served;
    for (int i = 0; i < 4; ++i)
        served.push_back(frame().jpeg);
    EXPECT_NE(served[0], served[1]);
    EXPECT_EQ(served[0], served[3]);
    EXPECT_EQ(camera.snapshot().framesServed, 4u);
}

TEST_F(LiveView, FrameRateLimitSpacesTheAnswers) {
    camera.prerenderFrames(2);
    camera.setFrameRateLimit(25);
    const auto start = Clock::now();
    for (int i = 0; i < 6; ++i)
        frame();  // the first at once, then one per 40 ms
    EXPECT_GE(Clock::now() - start, 200ms);
}

TEST_F(LiveView, RefusedOutsideLiveViewWithTheReadingsStillThere) {
    ASSERT_EQ(host.call(kEndLV)->status(), 0);
    camera.setParameter(kPBattery, 2);
    Frame f = frame();
    EXPECT_EQ(f.status, kStatusNoLiveView);
    EXPECT_EQ(f.battery, 2u);
    EXPECT_TRUE(f.jpeg.empty());
}

TEST_F(LiveView, UnplugInTheMiddleOfAFrame) {
    camera.unplugDuring(kGetLVFrame, 1000);
    host.command(kGetLVFrame);
    std::vector<uint8_t> buffer(4096);
    size_t got = 0;
    ASSERT_EQ(camera.bulkIn(buffer.data(), 512, 2000, &got, nullptr), UsbResult::Ok);
    EXPECT_EQ(get32(buffer.data()), 12u + 28 + get32(buffer.data() + 12 + 24)) << "whole length";
    ASSERT_EQ(camera.bulkIn(buffer.data(), 4096, 2000, &got, nullptr), UsbResult::Ok);
    EXPECT_EQ(got, 488u);
    EXPECT_FALSE(camera.plugged());
    EXPECT_EQ(camera.bulkIn(buffer.data(), 512, 100, &got, nullptr), UsbResult::NoDevice);
}

TEST_F(LiveView, AfterViewPictureWhileCapturingWithAfterViewOn) {
    EXPECT_EQ(host.call(kGetAfterViewImage)->status(), kStatusNoImage);
    ASSERT_EQ(host.call(kSetCamStat, u32s({1, kPAfterView, 1, 3}))->status(), 0);
    ASSERT_EQ(host.call(kCapture, u32s({0, 3, 5, 0}))->status(), 0);
    EXPECT_EQ(frame().status, kStatusBusy);
    auto p = host.call(kGetAfterViewImage);
    ASSERT_TRUE(p);
    ASSERT_GE(p->payload.size(), 12u);
    EXPECT_EQ(p->status(), 0);
    EXPECT_EQ(get16(p->payload.data() + 4), 320);
    EXPECT_EQ(get16(p->payload.data() + 6), 240);
    EXPECT_EQ(p->payload.size(), 12u + get32(p->payload.data() + 8));
    const RgbImage picture = decodeJpeg({p->payload.begin() + 12, p->payload.end()});
    EXPECT_EQ(picture.width, 320);
}

}  // namespace
}  // namespace orkasim::test
