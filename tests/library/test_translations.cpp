// Value codings between the application and the camera.
#include "translations.h"

#include <gtest/gtest.h>

#include <cstring>

namespace fotolien {
namespace {

TEST(ShutterCoding, EveryIndexReadsBackAsItself) {
    for (int32_t i = 0; i <= 49; ++i) {
        EXPECT_EQ(shutterIndexFromCode(shutterCodeFromIndex(i)), i) << i;
    }
    EXPECT_EQ(shutterCodeFromIndex(13), 40);
    EXPECT_EQ(shutterCodeFromIndex(49), 136);
    EXPECT_EQ(shutterCodeFromIndex(50), 112);
    EXPECT_EQ(shutterCodeFromIndex(-1), 112);
}

TEST(ShutterCoding, BandsOfCameraCodes) {
    EXPECT_EQ(shutterIndexFromCode(7), 0);
    EXPECT_EQ(shutterIndexFromCode(-5), 0);
    EXPECT_EQ(shutterIndexFromCode(9), 1);
    EXPECT_EQ(shutterIndexFromCode(10), 2);
    EXPECT_EQ(shutterIndexFromCode(134), 48);
    EXPECT_EQ(shutterIndexFromCode(137), 49);
    EXPECT_EQ(shutterIndexFromCode(200), 49);
}

TEST(ApertureCoding, IndexesCodesAndBands) {
    for (int32_t i = 0; i <= 12; ++i) {
        EXPECT_EQ(apertureIndexFromCode(apertureCodeFromIndex(i)), i) << i;
    }
    EXPECT_EQ(apertureCodeFromIndex(13), 48);
    EXPECT_EQ(apertureCodeFromIndex(-1), 48);
    EXPECT_EQ(apertureIndexFromCode(33), 0);
    EXPECT_EQ(apertureIndexFromCode(34), 1);
    EXPECT_EQ(apertureIndexFromCode(64), 12);
    EXPECT_EQ(apertureIndexFromCode(90), 12);
}

TEST(WhiteBalanceCoding, PresetsAndUnknownCodes) {
    for (int32_t i = 0; i <= 13; ++i) {
        EXPECT_EQ(whiteBalanceIndexFromCode(whiteBalanceCodeFromIndex(i)), i) << i;
    }
    EXPECT_EQ(whiteBalanceCodeFromIndex(5), 0x07800000);
    EXPECT_EQ(whiteBalanceCodeFromIndex(12), 0x057E0000);
    EXPECT_EQ(whiteBalanceCodeFromIndex(14), 0x00800000);
    EXPECT_EQ(whiteBalanceIndexFromCode(0x800000), 0);
    EXPECT_EQ(whiteBalanceIndexFromCode(0x12345), 0);
}

TEST(SettingTranslation, OnlyTheCodedParametersChange) {
    EXPECT_EQ(translateSetting(param::kColorMode, 5), 132);
    EXPECT_EQ(translateSetting(param::kColorMode, 3), 3);
    EXPECT_EQ(translateSetting(param::kAfterViewDisplay, 5), 3);
    EXPECT_EQ(translateSetting(param::kAfterViewDisplay, 0), 0);
    EXPECT_EQ(translateSetting(param::kShutterSpeed, 0), 0);
    EXPECT_EQ(translateSetting(param::kAperture, 13), 48);
    EXPECT_EQ(translateSetting(param::kWhiteBalance, 14), 0x00800000);
    EXPECT_EQ(translateSetting(param::kImageQuality, 6), 6);
    EXPECT_EQ(translateSetting(param::kManualFlashPower, -7), -7);
}

// Each field comes from its own parameter, at its fixed offset.
TEST(StatusRecord, FieldsFollowTheirParameters) {
    ParameterValues v{};
    for (int i = 0; i < kParameterCount; ++i) {
        v[i] = 1000 + i;
    }
    v[param::kShutterSpeed] = 40;
    v[param::kAperture] = 64;
    v[48] = 33;
    v[param::kWhiteBalance] = 0x057F0000;
    v[param::kColorMode] = 132;
    v[param::kFlashControl] = 2;
    v[param::kManualFlashPower] = 3;
    CameraStatusData s;
    std::memset(&s, 0x5A, sizeof s);
    fillStatus(v, &s);

    const int32_t expected[39] = {1003, 1004, 13,   12,   0,    1037, 1036, 1011, 1052, 1000,
                                  1001, 13,   1005, 1006, 1007, 1010, 1015, 1017, 1018, 5,
                                  1025, 1028, 1031, 1046, 1047, 1056, 1077, 1078, 1057, 1070,
                                  1027, 1065, 1053, 5,    1085, 1013, 1087, 1088, 1089};
    int32_t actual[39];
    std::memcpy(actual, &s, sizeof actual);
    for (int i = 0; i < 39; ++i) {
        EXPECT_EQ(actual[i], expected[i]) << "field at offset " << 4 * i;
    }

    v[param::kFlashControl] = 1;
    fillStatus(v, &s);
    EXPECT_EQ(s.flashControl, 1);
    v[param::kColorMode] = 4;
    fillStatus(v, &s);
    EXPECT_EQ(s.colorMode, 4);
}

}  // namespace
}  // namespace fotolien
