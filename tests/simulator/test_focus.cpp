// Half press, focus, white balance as the camera answers them.
#include <gtest/gtest.h>

#include "host.h"
#include "parameters.h"
#include "scene.h"

namespace orkasim::test {
namespace {

using namespace std::chrono_literals;
using namespace wire;

class Focus : public ::testing::Test {
  protected:
    void SetUp() override {
        camera.reset();
        host.open();
    }
    void TearDown() override { camera.reset(); }

    // Sends a command and collects the camera's requests that precede the
    // response (answered), then the response.
    std::pair<std::vector<Packet>, Packet> exchange(uint16_t code,
                                                    const std::vector<uint8_t>& payload = {}) {
        host.command(code, payload);
        std::vector<Packet> requests;
        for (;;) {
            auto p = host.read();
            if (!p)
                return {requests, Packet{}};
            if (p->transaction <= kLastCommandNumber)
                return {requests, *p};
            host.answer(*p);
            requests.push_back(*p);
        }
    }

    Host host;
    Camera& camera = host.camera;
};

std::vector<uint8_t> statusAndPoint(int x, int y, uint16_t status = 0) {
    auto bytes = u16s({status});
    const auto xy = u32s({static_cast<uint32_t>(x), static_cast<uint32_t>(y)});
    bytes.insert(bytes.end(), xy.begin(), xy.end());
    return bytes;
}

TEST_F(Focus, HalfPressAnswersTheFocusPoint) {
    auto [requests, response] = exchange(kS1, u16s({1}));
    EXPECT_EQ(response.payload, statusAndPoint(1632, 1224));
    EXPECT_TRUE(camera.snapshot().halfPressed);
    EXPECT_EQ(exchange(kS1, u16s({0})).second.status(), 0);
    EXPECT_FALSE(camera.snapshot().halfPressed);

    // With the flexible focus point in use, its position.
    exchange(kChangeFFP, u16s({1}));
    EXPECT_EQ(exchange(kSetFFPPos, u32s({400, 300})).second.payload, statusAndPoint(400, 300));
    EXPECT_EQ(exchange(kS1, u16s({1})).second.payload, statusAndPoint(400, 300));
    exchange(kS1, u16s({0}));

    camera.setFocusSucceeds(false);
    EXPECT_EQ(exchange(kS1, u16s({1})).second.status(), kStatusNotInFocus);
}

TEST_F(Focus, HalfPressReportsExposureWarningsFirst) {
    camera.setParameter(kPExposureProgram, 3);
    camera.setParameter(kPShutter, 8);  // 30 s in daylight
    camera.setParameter(kPWarnings, 0x100);
    auto [requests, response] = exchange(kS1, u16s({1}));
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].code, kCamStatChanged);
    const uint32_t warnings = camera.parameter(kPWarnings);
    EXPECT_EQ(requests[0].payload, u32s({1, kPWarnings, 1, warnings}));
    EXPECT_TRUE(warnings & 1) << "overexposed";
    EXPECT_TRUE(warnings & 0x100) << "other bits kept";
    EXPECT_EQ(response.code, kS1);
}

TEST_F(Focus, FocusMotorMovesTheDistanceUntilStopped) {
    ASSERT_EQ(camera.parameter(kPFocusDistance), 2000);
    auto [requests, response] = exchange(kAdjFocusAction, u16s({2}));  // nearer
    EXPECT_EQ(response.status(), 0);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_LT(camera.parameter(kPFocusDistance), 2000);
    // More steps follow while the motor runs, each announced.
    auto next = host.read();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->code, kCamStatChanged);
    host.answer(*next);
    exchange(kAdjFocusAction, u16s({0}));
    const int32_t stopped = camera.parameter(kPFocusDistance);
    EXPECT_FALSE(host.read(150)) << "no more steps";
    EXPECT_EQ(camera.parameter(kPFocusDistance), stopped);

    // Far enough reaches infinity (0) and stays there.
    camera.setParameter(kPFocusDistance, 30000);
    exchange(kAdjFocusAction, u16s({1}));
    EXPECT_EQ(camera.parameter(kPFocusDistance), 0);
    exchange(kAdjFocusAction, u16s({0}));
    EXPECT_NE(exchange(kAdjFocusAction, u16s({3})).second.status(), 0);
}

TEST_F(Focus, ViewAndPreviewChangesAreAnnounced) {
    auto [requests, response] = exchange(kChangeFDMMode);
    EXPECT_EQ(camera.parameter(kPFocusView), 3);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].payload, u32s({1, kPFocusView, 1, 3}));
    exchange(kChangeFDMMode);
    EXPECT_EQ(camera.parameter(kPFocusView), 0);

    exchange(kSetFDMPos, u32s({100, 200}));
    EXPECT_EQ(camera.snapshot().fdmPoint[0], 100);
    auto preview = exchange(kSetPreviewMode, u32s({1}));
    ASSERT_EQ(preview.first.size(), 1u);
    EXPECT_EQ(camera.parameter(kPAperturePreview), 1);
    EXPECT_TRUE(camera.protocolErrors().empty());
}

TEST_F(Focus, WhiteBalanceGainsComeFromTheScene) {
    auto presets = exchange(kGetPresetWBGain).second;
    EXPECT_EQ(presets.payload, u16s({0, kPresetWbGains.d1, kPresetWbGains.d2, kPresetWbGains.t1,
                                     kPresetWbGains.t2}));
    const FramePoint grey = greyPatchCentre();
    const PointWbGains expected = pointGains(grey.x, grey.y);
    auto point = exchange(kGetPointWBGain,
                          u32s({static_cast<uint32_t>(grey.x), static_cast<uint32_t>(grey.y)}));
    EXPECT_EQ(point.second.payload, u16s({0, expected.p1, expected.p2, expected.p3}));

    exchange(kSetCustomWBGain, u16s({300, 500}));
    EXPECT_EQ(camera.snapshot().customGains[0], 300);
    EXPECT_EQ(camera.snapshot().customGains[1], 500);
}

TEST_F(Focus, ClockAndSpotLinkAreKept) {
    exchange(kSetDateTime, u32s({0x060C07EA, 0x0004150B}));
    ASSERT_TRUE(camera.snapshot().clock);
    EXPECT_EQ(*camera.snapshot().clock, (std::array<int, 6>{2026, 12, 6, 11, 21, 4}));
    exchange(kSetSpotAEMode, u16s({0}));
    EXPECT_TRUE(camera.snapshot().spotFollowsFocusPoint);
}

}  // namespace
}  // namespace orkasim::test
