// Live view against the simulated camera: preview sizes, the frame and its
// readings, and the guards on copying it out.
#include <cstring>

#include "sim_support.h"

namespace fotolien::test {
namespace {

class LiveView : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        sim().prerenderFrames(2);  // frames within their second, sanitizers or not
        enterControlMode();
    }
    static Bytes frame(const LiveViewInfo& info, CameraStatusData* status = nullptr) {
        Bytes bytes(info.size);
        EXPECT_EQ(LiveViewGetFrame(bytes.data(), info.size, status), 0);
        return bytes;
    }
};

bool isJpeg(const Bytes& b) {
    return b.size() > 4 && b[0] == 0xFF && b[1] == 0xD8 && b[b.size() - 2] == 0xFF &&
           b[b.size() - 1] == 0xD9;
}

TEST_F(LiveView, ModeSwitchWaitsForTheCameraAndFramesFollowIt) {
    sim().clearLog();
    ASSERT_EQ(SetLiveViewMode(1), 0);
    ASSERT_EQ(sent(0x102F).size(), 1u);
    EXPECT_EQ(payloadOf(sent(0x102F)[0]), (Bytes{1, 0, 0, 0}));
    EXPECT_TRUE(waitFor(Direction::HostToCamera, 0x2008)) << "LiveViewReady was not answered";

    LiveViewInfo info;
    ASSERT_EQ(LiveViewGetInfo(&info), 0);
    EXPECT_EQ(info.width, 544u);
    EXPECT_EQ(info.height, 408u);
    const Bytes first = frame(info);
    EXPECT_TRUE(isJpeg(first));
    EXPECT_EQ(frame(info), first) << "the stored frame must stay until the next one";

    ASSERT_EQ(SetLiveViewMode(0), 0);
    ASSERT_EQ(LiveViewGetInfo(&info), 0);
    EXPECT_EQ(info.width, 320u);
    EXPECT_EQ(info.height, 240u);
}

TEST_F(LiveView, FrameCopiesComeWithTheStatus) {
    LiveViewInfo info;
    ASSERT_EQ(LiveViewGetInfo(&info), 0);
    CameraStatusData withFrame;
    frame(info, &withFrame);
    CameraStatusData alone;
    ASSERT_EQ(GetCameraStatusData(&alone), 0);
    EXPECT_EQ(std::memcmp(&withFrame, &alone, sizeof alone), 0);
}

TEST_F(LiveView, CopiesNeverReachBeyondTheStoredFrame) {
    LiveViewInfo info;
    ASSERT_EQ(LiveViewGetInfo(&info), 0);
    Bytes buffer(info.size + 1, 0xAB);
    EXPECT_EQ(LiveViewGetFrame(buffer.data(), info.size + 1, nullptr), 1);
    EXPECT_EQ(buffer, Bytes(info.size + 1, 0xAB));
    EXPECT_EQ(LiveViewGetFrame(buffer.data(), 0, nullptr), 1);
    EXPECT_EQ(LiveViewGetFrame(nullptr, info.size, nullptr), 1);
    EXPECT_EQ(LiveViewGetInfo(nullptr), 1);
}

TEST_F(LiveView, AModeTheCameraRefusesTimesOutAfterFiveSeconds) {
    sim().failOperation(0x102F, 8);
    const auto took = timed([] { EXPECT_EQ(SetLiveViewMode(1), 1); });
    EXPECT_GE(took, 4900ms);
    EXPECT_LT(took, 6000ms);
}

// The readings of a refused frame still reach the status record; the
// request fails at once instead of waiting out its second.
TEST_F(LiveView, ARefusedFrameFailsAtOnceAndItsReadingsCount) {
    sim().setParameter(8, 137);
    sim().setParameter(37, 2);
    sim().failOperation(0x100A, 5);
    LiveViewInfo info{1, 1, 1};
    EXPECT_LT(timed([&] { EXPECT_EQ(LiveViewGetInfo(&info), 1); }), 500ms);
    EXPECT_EQ(info.size, 0u);
    CameraStatusData s;
    ASSERT_EQ(GetCameraStatusData(&s), 0);
    EXPECT_EQ(s.shutterSpeed, 49);
    EXPECT_EQ(s.battery, 2);
}

TEST_F(LiveView, AFrameNobodyAskedForStillUpdatesTheReadings) {
    // A frame response with readings: shutter 40, aperture 64, battery 1, 36 = 9.
    Bytes payload = {0, 0, 0, 0, 0x40, 0x01, 0xF0, 0x00, 40, 0, 0, 0, 64, 0,    0,
                     0, 1, 0, 0, 0,    9,    0,    0,    0,  2, 0, 0, 0,  0xFF, 0xD8};
    sim().injectRaw(packet(0x100A, 55, payload));
    flushReceiver();
    CameraStatusData s;
    ASSERT_EQ(GetCameraStatusData(&s), 0);
    EXPECT_EQ(s.shutterSpeed, 13);
    EXPECT_EQ(s.aperture, 12);
    EXPECT_EQ(s.battery, 1);
    EXPECT_EQ(s.param36, 9);
}

TEST_F(LiveView, UnplugInTheMiddleOfAFrame) {
    sim().unplugDuring(0x100A, 1000);
    LiveViewInfo info;
    EXPECT_LT(timed([&] { EXPECT_EQ(LiveViewGetInfo(&info), 1); }), 1100ms);
    EXPECT_TRUE(reportedGone());
}

}  // namespace
}  // namespace fotolien::test
