// Focus-area, focus-step and preview commands on the wire.
#include "sim_support.h"

namespace fotolien::test {
namespace {

class Focus : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        enterControlMode();
        sim().clearLog();
    }
    // The payload of the one command with `code` sent since SetUp.
    static Bytes only(uint16_t code) {
        const auto packets = sent(code);
        EXPECT_EQ(packets.size(), 1u) << std::hex << code;
        return packets.empty() ? Bytes{} : payloadOf(packets[0]);
    }
};

TEST_F(Focus, FlexibleFocusPointOnAndOff) {
    ASSERT_EQ(SetFFPModeOn(), 0);
    EXPECT_EQ(only(0x1025), (Bytes{1, 0}));
    sim().clearLog();
    ASSERT_EQ(SetFFPModeOff(), 0);
    EXPECT_EQ(only(0x1025), (Bytes{0, 0}));
}

TEST_F(Focus, PositionsComeBackAsTheCameraUsesThem) {
    int32_t point[2] = {4000, -5};  // the camera keeps points inside its frame
    ASSERT_EQ(SetFFPPosition(point), 0);
    EXPECT_EQ(only(0x1026), (Bytes{0xA0, 0x0F, 0, 0, 0xFB, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(point[0], 3264);
    EXPECT_EQ(point[1], 0);

    int32_t fdm[2] = {100, 200};
    ASSERT_EQ(SetFDMPosition(fdm), 0);
    EXPECT_EQ(only(0x102D), (Bytes{100, 0, 0, 0, 200, 0, 0, 0}));
    EXPECT_EQ(fdm[0], 100);
    EXPECT_EQ(fdm[1], 200);

    sim().failOperation(0x1026, 1);
    int32_t refused[2] = {1632, 1224};
    EXPECT_EQ(SetFFPPosition(refused), 1);
    EXPECT_EQ(refused[0], 1632);
    EXPECT_EQ(refused[1], 1224);
    EXPECT_EQ(SetFDMPosition(nullptr), 1);
}

TEST_F(Focus, SpotMeteringLinkIsInvertedOnTheWire) {
    ASSERT_EQ(SetSpotAEwithFFP(1), 0);
    ASSERT_EQ(SetSpotAEwithFFP(0), 0);
    const auto packets = sent(0x1027);
    ASSERT_EQ(packets.size(), 2u);
    EXPECT_EQ(payloadOf(packets[0]), (Bytes{0, 0}));
    EXPECT_EQ(payloadOf(packets[1]), (Bytes{1, 0}));
}

TEST_F(Focus, StepsAndFdmMode) {
    ASSERT_EQ(FocusAdjust(0), 0);
    EXPECT_EQ(only(0x1020), (Bytes{0, 0}));
    EXPECT_EQ(FocusAdjust(3), 1);  // no such motor action: nothing sent
    EXPECT_EQ(FocusAdjust(-1), 1);
    EXPECT_EQ(sent(0x1020).size(), 1u);
    ASSERT_EQ(ChangeFDMMode(), 0);
    EXPECT_EQ(sent(0x101E)[0].bytes.size(), 12u);
}

TEST_F(Focus, AperturePreviewCountsTheAnswerWhateverItsStatus) {
    ASSERT_EQ(SetAperturePreview(7), 0);
    EXPECT_EQ(only(0x1030), (Bytes{1, 0, 0, 0}));
    sim().failOperation(0x1030, 8);
    EXPECT_EQ(SetAperturePreview(0), 0);
    EXPECT_EQ(payloadOf(sent(0x1030).back()), (Bytes{0, 0, 0, 0}));
}

}  // namespace
}  // namespace fotolien::test
