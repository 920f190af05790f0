// Opening, closing, sleeping, shutting down and checking the connection,
// against the simulated camera.
#include <cstring>
#include <functional>
#include <string>

#include "sim_support.h"

namespace fotolien::test {
namespace {

class Session : public SimTest {};

TEST_F(Session, OpenSendsCommandOneAndTheSimulatedCameraAnswers) {
    openCamera();
    const auto opens = sent(0x1001);
    ASSERT_EQ(opens.size(), 1u) << "the test must run on the simulated transport";
    EXPECT_EQ(opens[0].transaction, 1u);
    EXPECT_EQ(opens[0].bytes.size(), 12u);
    EXPECT_TRUE(waitFor(Direction::CameraToHost, 0x1001));
    EXPECT_EQ(CheckExistUSBCamera(), 0);
}

TEST_F(Session, CloseEndsTheConnectionAndANewOneStartsAtNumberOne) {
    openCamera();
    ASSERT_EQ(CloseCamera(), 0);
    const auto closes = sent(0x1002);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(payloadOf(closes[0]), (Bytes{0, 0, 0, 0}));
    EXPECT_EQ(CheckExistUSBCamera(), 0);

    // Nothing left to close.
    EXPECT_EQ(CloseCamera(), 1);
    EXPECT_EQ(sent(0x1002).size(), 1u);

    sim().clearLog();
    openCamera();
    ASSERT_EQ(sent(0x1001).size(), 1u);
    EXPECT_EQ(sent(0x1001)[0].transaction, 1u);
}

TEST_F(Session, SleepNeedsANonZeroLowHalfAndSendsModeOne) {
    openCamera();
    EXPECT_EQ(SleepCamera(0x30000), 1);
    EXPECT_TRUE(sent(0x1002).empty());
    ASSERT_EQ(SleepCamera(0x20005), 0);
    const auto closes = sent(0x1002);
    ASSERT_EQ(closes.size(), 1u);
    EXPECT_EQ(payloadOf(closes[0]), (Bytes{1, 0, 5, 0}));
}

TEST_F(Session, ReopeningWithoutClosingReplacesTheConnection) {
    openCamera();
    openCamera();
    EXPECT_EQ(CheckExistUSBCamera(), 0);
    EXPECT_EQ(CloseCamera(), 0);
}

// Every export with a control-mode or capture guard refuses at once, writes
// nothing and leaves the caller's records alone.
TEST_F(Session, GuardedExportsRefuseOutsideControlModeWithoutTouchingTheCamera) {
    openCamera();
    waitUntilReady();
    flushReceiver();
    sim().clearLog();

    CameraStatusData status;
    std::memset(&status, 0x77, sizeof status);
    LiveViewInfo info{9, 9, 9};
    int32_t point[2] = {5, 6};
    uint16_t wb[2] = {7, 8};
    uint8_t buffer[16] = {};
    const std::vector<std::pair<std::string, std::function<int32_t()>>> calls = {
        {"GetCameraStatusData", [&] { return GetCameraStatusData(&status); }},
        {"SetLiveViewMode", [] { return SetLiveViewMode(1); }},
        {"LiveViewGetInfo", [&] { return LiveViewGetInfo(&info); }},
        {"LiveViewGetFrame", [&] { return LiveViewGetFrame(buffer, 16, &status); }},
        {"S1On", [&] { return S1On(point); }},
        {"S1Off", [] { return S1Off(); }},
        {"CaptureImage", [] { return CaptureImage(0); }},
        {"TerminateCaptureImage", [] { return TerminateCaptureImage(); }},
        {"SetDisplayAfterView", [] { return SetDisplayAfterView(1); }},
        {"AfterViewGetInfo", [&] { return AfterViewGetInfo(&info); }},
        {"AfterViewGetFrame", [&] { return AfterViewGetFrame(buffer, 16); }},
        {"AfterViewConfirmation", [] { return AfterViewConfirmation(1); }},
        {"SetShutterSpeedValue", [] { return SetShutterSpeedValue(3); }},
        {"SetApertureValue", [] { return SetApertureValue(3); }},
        {"SetExposureProgram", [] { return SetExposureProgram(1); }},
        {"SetMeteringMode", [] { return SetMeteringMode(1); }},
        {"SetExposureCompensation", [] { return SetExposureCompensation(1); }},
        {"SetFlashCompensation", [] { return SetFlashCompensation(1); }},
        {"SetFocusMode", [] { return SetFocusMode(1); }},
        {"SetImageQuality", [] { return SetImageQuality(1); }},
        {"SetImageSize", [] { return SetImageSize(1); }},
        {"SetCameraSensitivity", [] { return SetCameraSensitivity(1); }},
        {"SetDriveMode", [] { return SetDriveMode(1); }},
        {"SetExposureBracketStep", [] { return SetExposureBracketStep(1); }},
        {"SetWhiteBalanceMode", [] { return SetWhiteBalanceMode(1); }},
        {"SetColorFilter", [] { return SetColorFilter(1); }},
        {"SetBWFilter", [] { return SetBWFilter(1); }},
        {"SetImageSaturation", [] { return SetImageSaturation(1); }},
        {"SetImageContrast", [] { return SetImageContrast(1); }},
        {"SetColorMode", [] { return SetColorMode(1); }},
        {"SetImageSharpness", [] { return SetImageSharpness(1); }},
        {"SetFlashMode", [] { return SetFlashMode(1); }},
        {"SetSceneSelectMode", [] { return SetSceneSelectMode(1); }},
        {"SetShutterSound", [] { return SetShutterSound(1); }},
        {"SetInfocusSound", [] { return SetInfocusSound(1); }},
        {"SetFlashCompensationType", [] { return SetFlashCompensationType(3); }},
        {"SetFFPModeOn", [] { return SetFFPModeOn(); }},
        {"SetFFPModeOff", [] { return SetFFPModeOff(); }},
        {"SetFFPPosition", [&] { return SetFFPPosition(point); }},
        {"SetFDMPosition", [&] { return SetFDMPosition(point); }},
        {"ChangeFDMMode", [] { return ChangeFDMMode(); }},
        {"FocusAdjust", [] { return FocusAdjust(1); }},
        {"SetSpotAEwithFFP", [] { return SetSpotAEwithFFP(1); }},
        {"SetAperturePreview", [] { return SetAperturePreview(1); }},
        {"SetCustomWBParameter", [] { return SetCustomWBParameter(5500); }},
        {"SetCustomWBGrayPoint", [&] { return SetCustomWBGrayPoint(10, 10, wb); }},
        {"StartIntervalCaptureMode", [] { return StartIntervalCaptureMode(); }},
        {"EndIntervalCaptureMode", [] { return EndIntervalCaptureMode(); }},
        {"SyncCameraClock", [] { return SyncCameraClock(0x060C07EA, 0x0004150B); }},
    };
    for (const auto& [name, call] : calls) {
        EXPECT_EQ(call(), 1) << name;
    }
    EXPECT_TRUE(sent().empty());
    const CameraStatusData untouched = [] {
        CameraStatusData s;
        std::memset(&s, 0x77, sizeof s);
        return s;
    }();
    EXPECT_EQ(std::memcmp(&status, &untouched, sizeof status), 0);
    EXPECT_EQ(info.width, 9u);
    EXPECT_EQ(point[0], 5);
    EXPECT_EQ(wb[0], 7);
}

TEST_F(Session, RefusedOpenLeavesNothingBehind) {
    sim().failOperation(0x1001, 1);
    EXPECT_EQ(OpenCamera(ORKA_PRODUCT_ID), 4);
    EXPECT_EQ(CloseCamera(), 1);
    sim().failOperation(0x1001, 0);
    openCamera();
    EXPECT_EQ(CloseCamera(), 0);
}

TEST_F(Session, UnansweredOpenGivesUpAfterTenSecondsAndTheNextOpenWorks) {
    sim().stallOperation(0x1001);
    const auto took = timed([] { EXPECT_EQ(OpenCamera(ORKA_PRODUCT_ID), 4); });
    EXPECT_GE(took, 9900ms);
    EXPECT_LT(took, 11000ms);
    sim().stallOperation(0x1001, false);
    openCamera();
    EXPECT_EQ(CloseCamera(), 0);
}

TEST_F(Session, UnplugFailsTheNextExchangeAndCheckReportsFourUntilReopened) {
    enterControlMode();
    sim().unplug();
    EXPECT_LT(timed([] { EXPECT_EQ(SetFocusMode(1), 1); }), 500ms);
    EXPECT_TRUE(reportedGone());
    EXPECT_EQ(CheckExistUSBCamera(), 4);
    CameraStatusData status;
    EXPECT_EQ(GetCameraStatusData(&status), 1);  // control mode ended with the camera

    sim().replug();
    enterControlMode();
    EXPECT_EQ(CheckExistUSBCamera(), 0);
    EXPECT_EQ(SetFocusMode(1), 0);
}

TEST_F(Session, ShutdownIsWrittenWithoutWaitingForAnAnswer) {
    openCamera();
    ASSERT_EQ(ShutdownCamera(), 0);
    const auto shutdowns = sent(0x1003);
    ASSERT_EQ(shutdowns.size(), 1u);
    EXPECT_EQ(shutdowns[0].bytes.size(), 12u);
}

// After the camera ends the session, nothing waits for answers that no
// thread will read; the connection can be checked away and opened again.
class CameraEndsSession : public SimTest, public ::testing::WithParamInterface<uint16_t> {};

TEST_P(CameraEndsSession, LaterCommandsFailAtOnceAndTheConnectionCanBeReopened) {
    const uint16_t code = GetParam();
    enterControlMode();
    sim().sendRequest(code, {});
    ASSERT_TRUE(waitFor(Direction::HostToCamera, code));
    EXPECT_EQ(payloadOf(sent(code)[0]), (Bytes{0, 0}));
    sim().clearLog();

    EXPECT_LT(timed([] { EXPECT_EQ(SetFocusMode(1), 1); }), 500ms);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(CheckExistUSBCamera(), 4);
    enterControlMode();
    EXPECT_EQ(SetFocusMode(1), 0);
}

INSTANTIATE_TEST_SUITE_P(ClosingAndEnding, CameraEndsSession, ::testing::Values(0x2002, 0x2004));

}  // namespace
}  // namespace fotolien::test
