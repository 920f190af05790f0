// PC-control mode and the status record against the simulated camera.
#include "sim_support.h"

namespace fotolien::test {
namespace {

class ControlMode : public SimTest {
  protected:
    // Codes of the commands sent, in order.
    static std::vector<uint16_t> commandCodes() {
        std::vector<uint16_t> codes;
        for (const LogEntry& e : sent()) {
            if (e.code < 0x2000) {
                codes.push_back(e.code);
            }
        }
        return codes;
    }
};

TEST_F(ControlMode, RefusedUntilTheCameraReportsItIsReady) {
    sim().setStateNoticeDelay(5s);
    openCamera();
    sim().clearLog();
    EXPECT_EQ(StartPCControlMode(), 1);
    EXPECT_TRUE(sent().empty());
}

TEST_F(ControlMode, StartSequenceOnTheWire) {
    enterControlMode();
    EXPECT_EQ(commandCodes(), (std::vector<uint16_t>{0x1001, 0x1008, 0x100E, 0x1029, 0x100C}));
    const auto set = sent(0x100C);
    ASSERT_EQ(set.size(), 1u);
    EXPECT_EQ(payloadOf(set[0]), (Bytes{1, 0, 0, 0, 53, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 0}));
    EXPECT_EQ(sim().parameter(53), 3);
    for (uint16_t code : {0x1008, 0x100E, 0x1029}) {
        EXPECT_EQ(sent(code)[0].bytes.size(), 12u);
    }
}

TEST_F(ControlMode, SecondStartSkipsStartLV) {
    enterControlMode();
    sim().clearLog();
    ASSERT_EQ(StartPCControlMode(), 0);
    EXPECT_EQ(commandCodes(), (std::vector<uint16_t>{0x100E, 0x1029, 0x100C}));
}

TEST_F(ControlMode, AFailedStepLeavesControlModeOffAndTheRetrySkipsStartLV) {
    openCamera();
    waitUntilReady();
    flushReceiver();
    sim().failOperation(0x100E, 1);
    EXPECT_EQ(StartPCControlMode(), 1);
    CameraStatusData status;
    EXPECT_EQ(GetCameraStatusData(&status), 1);
    EXPECT_TRUE(sent(0x1029).empty()) << "steps after the failing one ran";

    sim().failOperation(0x100E, 0);
    sim().clearLog();
    ASSERT_EQ(StartPCControlMode(), 0);
    EXPECT_EQ(commandCodes(), (std::vector<uint16_t>{0x100E, 0x1029, 0x100C}));
    EXPECT_EQ(GetCameraStatusData(&status), 0);
}

TEST_F(ControlMode, StatusConvertsTheCameraTableAndFollowsItsChanges) {
    sim().setParameter(8, 9);           // shutter code 9: index 1
    sim().setParameter(9, 33);          // aperture code 33: index 0
    sim().setParameter(2, 0x05810000);  // white balance preset 8
    sim().setParameter(29, 132);        // colour mode 5
    sim().setParameter(55, 2);          // manual flash ...
    sim().setParameter(86, 3);          // ... at power 3: flash control 5
    sim().setParameter(27, 1500);       // focus distance, as is
    enterControlMode();
    CameraStatusData s;
    ASSERT_EQ(GetCameraStatusData(&s), 0);
    EXPECT_EQ(s.shutterSpeed, 1);
    EXPECT_EQ(s.aperture, 0);
    EXPECT_EQ(s.whiteBalance, 8);
    EXPECT_EQ(s.colorMode, 5);
    EXPECT_EQ(s.flashControl, 5);
    EXPECT_EQ(s.focusDistance, 1500);
    EXPECT_EQ(s.param53, 3);

    sim().changeParameter(8, 137);
    flushReceiver();
    ASSERT_EQ(GetCameraStatusData(&s), 0);
    EXPECT_EQ(s.shutterSpeed, 49);
    EXPECT_EQ(GetCameraStatusData(nullptr), 1);
}

TEST_F(ControlMode, TerminateEndsLiveViewOnceAndControlModeWithIt) {
    enterControlMode();
    sim().clearLog();
    ASSERT_EQ(TerminatePCControlMode(), 0);
    EXPECT_EQ(commandCodes(), (std::vector<uint16_t>{0x1009}));
    CameraStatusData s;
    EXPECT_EQ(GetCameraStatusData(&s), 1);
    EXPECT_EQ(TerminatePCControlMode(), 1);
    EXPECT_EQ(commandCodes().size(), 1u);
}

TEST_F(ControlMode, RefusedTerminateKeepsControlMode) {
    enterControlMode();
    sim().failOperation(0x1009, 1);
    EXPECT_EQ(TerminatePCControlMode(), 1);
    CameraStatusData s;
    EXPECT_EQ(GetCameraStatusData(&s), 0);
}

}  // namespace
}  // namespace fotolien::test
