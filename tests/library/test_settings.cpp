// The setting exports against the simulated camera: the parameter each one
// writes, the value translations on the wire, and the library's table.
#include <cmath>
#include <functional>
#include <string>

#include "sim_support.h"

namespace fotolien::test {
namespace {

// The SetCamStat payload for one parameter, built independently of the library.
Bytes setCamStat(uint32_t index, int32_t value) {
    Bytes b = {1, 0, 0, 0};
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(index >> (8 * i)));
    }
    b.insert(b.end(), {1, 0, 0, 0});
    for (int i = 0; i < 4; ++i) {
        b.push_back(static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i)));
    }
    return b;
}

class Settings : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        enterControlMode();
        sim().clearLog();
    }
    static std::vector<Bytes> setCamStats() {
        std::vector<Bytes> payloads;
        for (const LogEntry& e : sent(0x100C)) {
            payloads.push_back(payloadOf(e));
        }
        return payloads;
    }
    static CameraStatusData status() {
        CameraStatusData s;
        EXPECT_EQ(GetCameraStatusData(&s), 0);
        return s;
    }
};

struct Setter {
    const char* name;
    int32_t (*call)(int32_t);
    uint32_t index;
};

TEST_F(Settings, EachSetterWritesItsParameter) {
    const Setter setters[] = {
        {"SetExposureProgram", SetExposureProgram, 0},
        {"SetFlashMode", SetFlashMode, 1},
        {"SetImageSize", SetImageSize, 3},
        {"SetImageQuality", SetImageQuality, 4},
        {"SetDriveMode", SetDriveMode, 5},
        {"SetMeteringMode", SetMeteringMode, 6},
        {"SetCameraSensitivity", SetCameraSensitivity, 7},
        {"SetFocusMode", SetFocusMode, 10},
        {"SetExposureCompensation", SetExposureCompensation, 15},
        {"SetExposureBracketStep", SetExposureBracketStep, 17},
        {"SetSceneSelectMode", SetSceneSelectMode, 25},
        {"SetColorMode", SetColorMode, 29},
        {"SetFlashCompensation", SetFlashCompensation, 31},
        {"SetImageSaturation", SetImageSaturation, 46},
        {"SetImageContrast", SetImageContrast, 47},
        {"SetImageSharpness", SetImageSharpness, 56},
        {"SetColorFilter", SetColorFilter, 77},
        {"SetBWFilter", SetBWFilter, 78},
        {"SetShutterSound", SetShutterSound, 88},
        {"SetInfocusSound", SetInfocusSound, 89},
    };
    for (const Setter& s : setters) {
        sim().clearLog();
        ASSERT_EQ(s.call(2), 0) << s.name;
        EXPECT_EQ(setCamStats(), std::vector<Bytes>{setCamStat(s.index, 2)}) << s.name;
        EXPECT_EQ(sim().parameter(static_cast<int>(s.index)), 2) << s.name;
    }
}

TEST_F(Settings, EveryShutterIndexIsSentAsItsCodeAndReadsBack) {
    for (int32_t i = 0; i <= 50; ++i) {
        sim().clearLog();
        ASSERT_EQ(SetShutterSpeedValue(i), 0) << i;
        const int32_t code = i == 0    ? 0
                             : i <= 49 ? static_cast<int32_t>(std::lround(8 + 8.0 * (i - 1) / 3))
                                       : 112;
        EXPECT_EQ(setCamStats(), std::vector<Bytes>{setCamStat(8, code)}) << i;
        EXPECT_EQ(status().shutterSpeed, i <= 49 ? i : 40) << i;  // code 112 reads as 40
    }
}

TEST_F(Settings, TranslatedValuesOnTheWire) {
    ASSERT_EQ(SetApertureValue(13), 0);
    ASSERT_EQ(SetApertureValue(4), 0);
    ASSERT_EQ(SetWhiteBalanceMode(14), 0);
    ASSERT_EQ(SetWhiteBalanceMode(12), 0);
    ASSERT_EQ(SetColorMode(5), 0);
    EXPECT_EQ(setCamStats(),
              (std::vector<Bytes>{setCamStat(9, 48), setCamStat(9, 43), setCamStat(2, 0x00800000),
                                  setCamStat(2, 0x057E0000), setCamStat(29, 132)}));
    const CameraStatusData s = status();
    EXPECT_EQ(s.aperture, 4);
    EXPECT_EQ(s.whiteBalance, 12);
    EXPECT_EQ(s.colorMode, 5);
}

TEST_F(Settings, FlashControlTypeSendsOneOrTwoParameters) {
    ASSERT_EQ(SetFlashCompensationType(4), 0);
    EXPECT_EQ(setCamStats(), (std::vector<Bytes>{setCamStat(86, 2), setCamStat(55, 2)}));
    EXPECT_EQ(status().flashControl, 4);

    sim().clearLog();
    ASSERT_EQ(SetFlashCompensationType(7), 0);
    EXPECT_EQ(setCamStats(), std::vector<Bytes>{setCamStat(55, 0)});
    ASSERT_EQ(SetFlashCompensationType(1), 0);
    ASSERT_EQ(SetFlashCompensationType(-1), 0);  // taken as unsigned: above 6
    EXPECT_EQ(setCamStats(),
              (std::vector<Bytes>{setCamStat(55, 0), setCamStat(55, 1), setCamStat(55, 0)}));

    sim().clearLog();
    sim().failOperation(0x100C, 8);
    EXPECT_EQ(SetFlashCompensationType(3), 1);
    EXPECT_EQ(setCamStats(), std::vector<Bytes>{setCamStat(86, 1)}) << "55 sent after a refused 86";
}

TEST_F(Settings, ARefusedSettingLeavesTheTableAsItWas) {
    const int32_t aperture = status().aperture;
    sim().failOperation(0x100C, 8);
    EXPECT_EQ(SetApertureValue(aperture == 3 ? 4 : 3), 1);
    EXPECT_EQ(status().aperture, aperture);
}

}  // namespace
}  // namespace fotolien::test
