// Custom white-balance model. Expected values come from a transcription of
// the model kept here, written step by step from its definition, and from
// properties the model is built to have.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <optional>
#include <tuple>

#include "wbmodel.h"

using namespace fotolien::wb;

namespace {

const Presets kPresets{486, 384, 307, 666};

struct Model {
    double k1, c1, k2, c2;

    explicit Model(const Presets& p) {
        const double rd = std::log(double(p.d1) / p.d2), rt = std::log(double(p.t1) / p.t2);
        const double qd = std::log(p.d1 / 256.0), qt = std::log(p.t1 / 256.0);
        k1 = -0.00017532467532467534 / (rt - rd);
        c1 = 0.0001818181818181818 + k1 * rd;
        k2 = -0.00021532467532467536 / (qt - qd);
        c2 = 0.0001668181818181818 + k2 * qd;
    }

    std::pair<long, long> gains(int t, int cc) const {
        const double u = 1.0 / t;
        const double v = u - (cc <= 0 ? 2.13 : 3.49) * cc * 1e-6;
        const double level = std::exp((c2 - v) / k2), ratio = std::exp((c1 - u) / k1);
        return {long(level * 256 + 0.5), long(level * 256 / ratio + 0.5)};
    }

    // Measured temperature and CC index before any clamping.
    std::pair<long, long> measure(int p1, int p2, int p3) const {
        const double u = c1 - k1 * std::log(double(p1) / p2);
        const double w = (u - (c2 - k2 * std::log(double(p1) / p3))) * 1e6;
        return {long(1 / u + 0.5), w > 0 ? long(w / 3.49 + 0.5) : long(w / 2.13 - 0.5)};
    }

    // Point gains (p1, p2, p3) measuring exactly (t, cc), searched near p2.
    std::optional<std::array<int, 3>> pointFor(int t, int cc, int p2 = 300) const {
        const double u = 1.0 / t;
        for (int b = p2; b < p2 + 400; ++b) {
            const int a = int(std::lround(b * std::exp((c1 - u) / k1)));
            if (measure(a, b, 1).first != t)
                continue;
            const double w = cc * (cc <= 0 ? 2.13 : 3.49) * 1e-6;
            const double c = a / std::exp((c2 - u + w) / k2);
            for (int p3 = int(c) - 3; p3 <= int(c) + 3; ++p3) {
                if (p3 > 0 && measure(a, b, p3) == std::pair<long, long>(t, cc)) {
                    return std::array<int, 3>{a, b, p3};
                }
            }
        }
        return std::nullopt;
    }
};

void expectGains(const Gains& g, std::pair<long, long> expected) {
    ASSERT_EQ(g.outcome, Outcome::Ok);
    EXPECT_EQ(g.first, expected.first);
    EXPECT_EQ(g.second, expected.second);
}

}  // namespace

TEST(WhiteBalanceGains, ReproduceThePresetRatiosAtTheirTemperatures) {
    for (auto [t, g1, g2] :
         {std::tuple{5500, kPresets.d1, kPresets.d2}, std::tuple{2800, kPresets.t1, kPresets.t2}}) {
        const Gains g = gainsFor(kPresets, t, 0);
        ASSERT_EQ(g.outcome, Outcome::Ok);
        const double ratio = double(g1) / g2;  // each gain is rounded by at most 0.5
        EXPECT_NEAR(g.first, g.second * ratio, 0.5 + 0.5 * ratio) << t;
    }
}

TEST(WhiteBalanceGains, FollowTheModelAcrossTheRange) {
    const Model model(kPresets);
    for (int t : {2500, 3200, 4300, 5500, 6500, 8000, 10000}) {
        for (int cc : {-60, -7, -1, 0, 1, 13, 60}) {
            SCOPED_TRACE(testing::Message() << t << " K, cc " << cc);
            const auto expected = model.gains(t, cc);
            if (std::max(expected.first, expected.second) > 1023) {
                EXPECT_EQ(gainsFor(kPresets, t, cc).outcome, Outcome::OutOfRange);
            } else {
                expectGains(gainsFor(kPresets, t, cc), expected);
            }
        }
    }
}

TEST(WhiteBalanceGains, CcShiftsTheLevelByItsWeightPerUnit) {
    const Model model(kPresets);
    const Gains neutral = gainsFor(kPresets, 5000, 0);
    for (auto [cc, weight] : {std::pair{60, 3.49e-6}, std::pair{-60, 2.13e-6}}) {
        const Gains shifted = gainsFor(kPresets, 5000, cc);
        ASSERT_EQ(shifted.outcome, Outcome::Ok);
        const double factor = std::exp(weight * cc / model.k2);
        EXPECT_NEAR(shifted.first, neutral.first * factor, 1.0 + factor) << cc;
        EXPECT_NEAR(shifted.second, neutral.second * factor, 1.0 + factor) << cc;
    }
}

TEST(WhiteBalanceGains, AGainAbove1023IsOutOfRange) {
    // The first (T, cc) whose larger gain is exactly 1024, and one giving 1023.
    const Model model(kPresets);
    bool seen1023 = false, seen1024 = false;
    for (int t = 1500; t <= 20000 && !(seen1023 && seen1024); t += 10) {
        for (int cc = -60; cc <= 60; ++cc) {
            const auto [g1, g2] = model.gains(t, cc);
            const long larger = std::max(g1, g2);
            if (larger == 1024 && !seen1024) {
                seen1024 = true;
                EXPECT_EQ(gainsFor(kPresets, t, cc).outcome, Outcome::OutOfRange);
            } else if (larger == 1023 && !seen1023) {
                seen1023 = true;
                expectGains(gainsFor(kPresets, t, cc), {g1, g2});
            }
        }
    }
    EXPECT_TRUE(seen1023 && seen1024);
    EXPECT_EQ(exportResult(Outcome::OutOfRange), 2);
}

TEST(WhiteBalanceGains, DegenerateInputsAreRefused) {
    const Presets unusable[] = {
        {0, 384, 307, 666},   {486, 0, 307, 666},   {486, 384, 0, 666},
        {486, 384, 307, 0},   {400, 200, 300, 150},  // equal ratios
        {486, 384, 486, 666},                        // equal first gains
    };
    for (const Presets& p : unusable) {
        EXPECT_EQ(gainsFor(p, 5500, 0).outcome, Outcome::Degenerate);
        EXPECT_EQ(fromGreyPoint(p, 400, 300, 256).outcome, Outcome::Degenerate);
    }
    EXPECT_EQ(gainsFor(kPresets, 0, 0).outcome, Outcome::Degenerate);
    EXPECT_EQ(gainsFor(kPresets, 1, 0).outcome, Outcome::Degenerate);  // 0 / 0 at 1 K
    for (auto [p1, p2, p3] : {std::tuple{0, 300, 256}, {400, 0, 256}, {400, 300, 0}}) {
        EXPECT_EQ(fromGreyPoint(kPresets, p1, p2, p3).outcome, Outcome::Degenerate);
    }
    EXPECT_EQ(exportResult(Outcome::Degenerate), 1);
    EXPECT_EQ(exportResult(Outcome::Ok), 0);
}

TEST(WhiteBalanceWord, SplitsTemperatureAndSignedCc) {
    const Setting s = decodeWord(0xFFC4'1964);
    EXPECT_EQ(s.temperature, 6500);
    EXPECT_EQ(s.cc, -60);
}

TEST(WhiteBalanceGreyPoint, InRangeMeasurementsSendTheMeasuredGains) {
    const Model model(kPresets);
    const auto point = model.pointFor(6000, 10);
    ASSERT_TRUE(point);
    const auto [p1, p2, p3] = *point;
    const GreyPoint r = fromGreyPoint(kPresets, p1, p2, p3);
    ASSERT_EQ(r.outcome, Outcome::Ok);
    EXPECT_EQ(r.setting.temperature, 6000);
    EXPECT_EQ(r.setting.cc, 10);
    EXPECT_EQ(r.first, p1);
    EXPECT_EQ(r.second, p2);

    // T and cc depend on ratios only: the same point three times brighter
    // measures the same but its gains cannot be sent.
    EXPECT_EQ(fromGreyPoint(kPresets, 3 * p1, 3 * p2, 3 * p3).outcome, Outcome::OutOfRange);
}

TEST(WhiteBalanceGreyPoint, OutOfRangeMeasurementsAreClampedAndRecomputed) {
    const Model model(kPresets);
    const struct {
        int t, cc;  // measured
        int reportedT, reportedCc;
    } cases[] = {
        {12000, 75, 10000, 60},
        {2300, -80, 2500, -60},
        {4000, 70, 4000, 60},
        {4000, -61, 4000, -60},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.t << " K, cc " << c.cc);
        const auto point = model.pointFor(c.t, c.cc);
        ASSERT_TRUE(point);
        const GreyPoint r = fromGreyPoint(kPresets, (*point)[0], (*point)[1], (*point)[2]);
        ASSERT_EQ(r.outcome, Outcome::Ok);
        EXPECT_EQ(r.setting.temperature, c.reportedT);
        EXPECT_EQ(r.setting.cc, c.reportedCc);
        const auto [g1, g2] = model.gains(c.reportedT, c.reportedCc);
        EXPECT_EQ(r.first, g1);
        EXPECT_EQ(r.second, g2);
    }
}

TEST(WhiteBalanceGreyPoint, FarOffMeasurementsClampInsteadOfWrapping) {
    // 70000 K would wrap to 4464 in 16 bits; a ratio beyond the hot end of
    // the scale gives a negative reciprocal temperature. Both are 10000 K.
    const Model model(kPresets);
    const int hot = int(std::lround(200 * std::exp((model.c1 - 1.0 / 70000) / model.k1)));
    ASSERT_GT(model.measure(hot, 200, 256).first, 65535);
    for (int p1 : {hot, 1000}) {
        const GreyPoint r = fromGreyPoint(kPresets, p1, 200, 256);
        ASSERT_EQ(r.outcome, Outcome::Ok) << p1;
        EXPECT_EQ(r.setting.temperature, 10000) << p1;
        EXPECT_LE(std::abs(r.setting.cc), 60) << p1;
    }
}
