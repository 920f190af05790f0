// Half press, capture and the after-view exchange against the simulated
// camera.
#include "sim_support.h"

namespace fotolien::test {
namespace {

class Capture : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        enterControlMode();
        ASSERT_EQ(SetImageSize(3), 0);  // 640 x 480: quick to render
        sim().clearLog();
    }
    static int32_t waiting() {
        int32_t count = -100;
        EXPECT_EQ(GetWaitingFileNumber(&count), 0);
        return count;
    }
};

TEST_F(Capture, HalfPressAndReleaseFollowThePressState) {
    int32_t point[2] = {0, 0};
    ASSERT_EQ(S1On(point), 0);
    EXPECT_EQ(point[0], 1632);
    EXPECT_EQ(point[1], 1224);
    EXPECT_EQ(S1On(point), 1);  // already pressed: nothing sent
    ASSERT_EQ(S1Off(), 0);
    EXPECT_EQ(S1Off(), 1);  // already released: nothing sent
    const auto presses = sent(0x1005);
    ASSERT_EQ(presses.size(), 2u);
    EXPECT_EQ(payloadOf(presses[0]), (Bytes{1, 0}));
    EXPECT_EQ(payloadOf(presses[1]), (Bytes{0, 0}));
}

TEST_F(Capture, OutOfFocusLeavesThePointAloneButTheButtonPressed) {
    sim().setFocusSucceeds(false);
    int32_t point[2] = {5, 6};
    EXPECT_EQ(S1On(point), 1);
    EXPECT_EQ(point[0], 5);
    EXPECT_TRUE(sim().snapshot().halfPressed);
    EXPECT_EQ(S1Off(), 0);
}

TEST_F(Capture, CaptureCarriesDriveSizeQualityAndDuration) {
    ASSERT_EQ(SetImageQuality(2), 0);
    ASSERT_EQ(SetDriveMode(0), 0);
    ASSERT_EQ(CaptureImage(3), 0);
    ASSERT_EQ(sent(0x1006).size(), 1u);
    EXPECT_EQ(payloadOf(sent(0x1006)[0]),
              (Bytes{0, 0, 0, 0, 3, 0, 0, 0, 2, 0, 0, 0, 0xB8, 0x0B, 0, 0}));
    ASSERT_EQ(TerminateCaptureImage(), 0);
    EXPECT_EQ(TerminateCaptureImage(), 1);  // the capture flag is gone
}

TEST_F(Capture, ARefusedCaptureAllowsNoCaptureCalls) {
    sim().failOperation(0x1006, 6);
    EXPECT_EQ(CaptureImage(0), 1);
    LiveViewInfo info;
    EXPECT_EQ(AfterViewGetInfo(&info), 1);
    EXPECT_EQ(AfterViewConfirmation(1), 1);
    EXPECT_EQ(TerminateCaptureImage(), 1);
    EXPECT_TRUE(sent(0x1007).empty());
    EXPECT_EQ(waiting(), 0);
}

TEST_F(Capture, AfterViewImageIsFetchedAndTheCaptureKept) {
    ASSERT_EQ(SetDisplayAfterView(5), 0);
    EXPECT_EQ(sim().parameter(16), 3);
    ASSERT_EQ(CaptureImage(0), 0);
    LiveViewInfo info;
    ASSERT_EQ(AfterViewGetInfo(&info), 0);
    ASSERT_GT(info.size, 4u);
    EXPECT_GT(info.width, 0u);
    Bytes image(info.size + 1, 0xAB);
    EXPECT_EQ(AfterViewGetFrame(image.data(), info.size + 1), 1);  // beyond the image
    EXPECT_EQ(image[0], 0xAB);
    ASSERT_EQ(AfterViewGetFrame(image.data(), info.size), 0);
    EXPECT_EQ(image[0], 0xFF);
    EXPECT_EQ(image[1], 0xD8);

    ASSERT_EQ(AfterViewConfirmation(1), 0);
    const uint32_t captureNumber = sent(0x1006)[0].transaction;
    EXPECT_EQ(payloadOf(sent(0x1021)[0]),
              (Bytes{0, 0, 0, 0, static_cast<uint8_t>(captureNumber), 0, 0, 0}));
    ASSERT_EQ(TerminateCaptureImage(), 0);
}

TEST_F(Capture, DiscardingTheAfterViewCancelsTheFilesItWouldBring) {
    ASSERT_EQ(SetImageQuality(0), 0);  // raw: two files
    ASSERT_EQ(SetDisplayAfterView(1), 0);
    ASSERT_EQ(CaptureImage(0), 0);
    ASSERT_EQ(AfterViewConfirmation(0), 0);
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(payloadOf(sent(0x1021)[0])[0], 1);
    ASSERT_EQ(TerminateCaptureImage(), 0);
    EXPECT_EQ(waiting(), 0);
    EXPECT_EQ(sim().snapshot().filesWaiting, 0u);
    EXPECT_EQ(GetWaitingFileNumber(nullptr), 0);
}

}  // namespace
}  // namespace fotolien::test
