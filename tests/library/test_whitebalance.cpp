// Custom white balance: the gains on the wire against the colour model
// computed here from its definition, and the grey-point rules.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "sim_support.h"

namespace fotolien::test {
namespace {

// The simulated camera's preset pairs: daylight (5500 K) and tungsten (2800 K).
constexpr double kD1 = 480, kD2 = 352, kT1 = 300, kT2 = 560;

// The model, written out from its definition.
struct Model {
    double k1, c1, k2, c2;
    Model() {
        const double rd = std::log(kD1 / kD2), rt = std::log(kT1 / kT2);
        k1 = -0.00017532467532467534 / (rt - rd);  // (1/5500 - 1/2800) / (rt - rd)
        c1 = 0.0001818181818181818 + k1 * rd;
        const double qd = std::log(kD1 / 256), qt = std::log(kT1 / 256);
        k2 = -0.00021532467532467536 / (qt - qd);
        c2 = 0.0001668181818181818 + k2 * qd;
    }
    static double weight(int cc) { return cc > 0 ? 3.49 : 2.13; }
    std::pair<double, double> gains(double t, int cc) const {
        const double u = 1 / t;
        const double v = u - weight(cc) * cc * 1e-6;
        const double level = std::exp((c2 - v) / k2);
        const double ratio = std::exp((c1 - u) / k1);
        return {std::trunc(level * 256 + 0.5), std::trunc(level * 256 / ratio + 0.5)};
    }
};

uint32_t word(int temperature, int cc) {
    return static_cast<uint32_t>(temperature) | static_cast<uint32_t>(static_cast<uint16_t>(cc))
                                                    << 16;
}

class WhiteBalance : public SimTest {
  protected:
    void SetUp() override {
        SimTest::SetUp();
        enterControlMode();
        sim().clearLog();
    }
    static std::pair<double, double> lastGainsSent() {
        const auto packets = sent(0x102A);
        if (packets.empty()) {
            ADD_FAILURE() << "no gains sent";
            return {0, 0};
        }
        const Bytes p = payloadOf(packets.back());
        return {at16(p, 0), at16(p, 2)};
    }
    Model model;
};

TEST_F(WhiteBalance, GainsFollowTheModel) {
    for (const auto& [t, cc] : {std::pair{5500, 0},
                                {2800, 0},
                                {6000, 10},
                                {3200, -25},
                                {10000, 60},
                                {2500, -60},
                                {4321, 1}}) {
        if (model.gains(t, cc).first > 1023 || model.gains(t, cc).second > 1023) {
            continue;
        }
        ASSERT_EQ(SetCustomWBParameter(word(t, cc)), 0) << t << " K, cc " << cc;
        EXPECT_EQ(lastGainsSent(), model.gains(t, cc)) << t << " K, cc " << cc;
    }
    // The presets' own temperatures give back their ratios.
    ASSERT_EQ(SetCustomWBParameter(word(5500, 0)), 0);
    const auto [f, s] = lastGainsSent();
    EXPECT_NEAR(f / s, kD1 / kD2, 0.01);
    EXPECT_EQ(sim().snapshot().customGains[0], f);
}

TEST_F(WhiteBalance, AGainBeyond1023IsNeverSent) {
    int found = 0;
    for (int t = 2000; t <= 20000 && found == 0; t += 500) {
        for (int cc = -60; cc <= 60; cc += 10) {
            const auto g = model.gains(t, cc);
            if (g.first > 1023 || g.second > 1023) {
                found = 1;
                EXPECT_EQ(SetCustomWBParameter(word(t, cc)), 2) << t << " K, cc " << cc;
                break;
            }
        }
    }
    ASSERT_EQ(found, 1) << "no out-of-range setting in the scanned range";
    EXPECT_TRUE(sent(0x102A).empty());
    EXPECT_EQ(SetCustomWBParameter(word(0, 0)), 1);  // no temperature: nothing to compute
    EXPECT_TRUE(sent(0x102A).empty());
}

TEST_F(WhiteBalance, GreyPointReportsTemperatureAndCcAndSendsTheGains) {
    uint16_t result[2] = {0, 0};
    ASSERT_EQ(SetCustomWBGrayPoint(1632, 1224, result), 0);
    const auto asked = sent(0x102C);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(payloadOf(asked[0]), (Bytes{0x60, 0x06, 0, 0, 0xC8, 0x04, 0, 0}));
    // What the camera measured at that point, from its answer.
    const auto answers = packets(Direction::CameraToHost, 0x102C);
    ASSERT_EQ(answers.size(), 1u);
    const Bytes a = payloadOf(answers[0]);
    const double p1 = at16(a, 2), p2 = at16(a, 4), p3 = at16(a, 6);

    const double u = model.c1 - model.k1 * std::log(p1 / p2);
    int t = static_cast<int>(std::trunc(1 / u + 0.5));
    const double w = (u - (model.c2 - model.k2 * std::log(p1 / p3))) * 1e6;
    int cc = static_cast<int>(w > 0 ? std::trunc(w / 3.49 + 0.5) : std::trunc(w / 2.13 - 0.5));
    std::pair<double, double> expected{p1, p2};
    if (t > 10000 || t < 2500) {
        t = t > 10000 ? 10000 : 2500;
        cc = std::clamp(cc, -60, 60);
        expected = model.gains(t, cc);
    } else if (cc > 60 || cc < -60) {
        cc = std::clamp(cc, -60, 60);
        expected = model.gains(t, cc);
    }
    EXPECT_EQ(result[0], t);
    EXPECT_EQ(static_cast<int16_t>(result[1]), cc);
    EXPECT_EQ(lastGainsSent(), expected);
}

TEST_F(WhiteBalance, ARefusedMeasurementLeavesTheResultAlone) {
    sim().failOperation(0x102C, 1);
    uint16_t result[2] = {7, 8};
    EXPECT_EQ(SetCustomWBGrayPoint(10, 10, result), 1);
    EXPECT_EQ(result[0], 7);
    EXPECT_EQ(result[1], 8);
    EXPECT_TRUE(sent(0x102A).empty());
}

}  // namespace
}  // namespace fotolien::test
