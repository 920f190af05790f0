#include "wbmodel.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace fotolien::wb {

namespace {

// The model's constants, written out to full double precision.
constexpr double kInvDaylight = 0.0001818181818181818;                // 1/5500
constexpr double kInvTungstenMinusDaylight = 0.00017532467532467534;  // 1/2800 - 1/5500
constexpr double kLevelDaylight = 0.0001668181818181818;              // 1/5500 - 0.000015
// (1/2800 + 0.000025) - (1/5500 - 0.000015)
constexpr double kLevelTungstenMinusDaylight = 0.00021532467532467536;

constexpr double kCcWeightNegative = 2.13;  // cc <= 0
constexpr double kCcWeightPositive = 3.49;  // cc > 0
constexpr double kCcUnit = 1e-6;

// Two lines in reciprocal temperature: the ratio line u = C1 - K1 * ln(g1/g2)
// through the presets' ratios, and the level line v = C2 - K2 * ln(g1/256)
// through their first gains (slightly offset, as the model has it).
struct Calibration {
    double k1, c1, k2, c2;
};

std::optional<Calibration> calibrate(const Presets& p) {
    if (p.d1 == 0 || p.d2 == 0 || p.t1 == 0 || p.t2 == 0)
        return std::nullopt;
    const double rd = std::log(double(p.d1) / double(p.d2));
    const double rt = std::log(double(p.t1) / double(p.t2));
    const double qd = std::log(double(p.d1) / 256.0);
    const double qt = std::log(double(p.t1) / 256.0);
    if (rt == rd || qt == qd)
        return std::nullopt;
    Calibration c;
    c.k1 = -kInvTungstenMinusDaylight / (rt - rd);
    c.c1 = kInvDaylight + c.k1 * rd;
    c.k2 = -kLevelTungstenMinusDaylight / (qt - qd);
    c.c2 = kLevelDaylight + c.k2 * qd;
    if (!std::isfinite(c.k1) || !std::isfinite(c.c1) || !std::isfinite(c.k2) ||
        !std::isfinite(c.c2))
        return std::nullopt;
    return c;
}

double ccWeight(int cc) {
    return cc <= 0 ? kCcWeightNegative : kCcWeightPositive;
}

Gains gainsFrom(const Calibration& c, std::uint16_t temperature, std::int16_t cc) {
    if (temperature == 0)
        return {};
    const double u = 1.0 / temperature;
    const double v = u - ccWeight(cc) * cc * kCcUnit;
    const double level = std::exp((c.c2 - v) / c.k2);
    const double ratio = std::exp((c.c1 - u) / c.k1);
    const double first = std::trunc(level * 256 + 0.5);
    const double second = std::trunc(level * 256 / ratio + 0.5);
    if (!std::isfinite(level) || !std::isfinite(ratio) || !std::isfinite(first) ||
        !std::isfinite(second))
        return {};
    if (first > kMaxGain || second > kMaxGain)
        return {Outcome::OutOfRange, 0, 0};
    return {Outcome::Ok, static_cast<std::uint16_t>(first), static_cast<std::uint16_t>(second)};
}

// Rounds a finite value to an integer after bounding it far outside every
// range it is compared with, so the conversion is always defined.
long long boundedInteger(double x) {
    return static_cast<long long>(std::clamp(x, -1e9, 1e9));
}

}  // namespace

Setting decodeWord(std::uint32_t word) {
    return {static_cast<std::uint16_t>(word & 0xFFFF), static_cast<std::int16_t>(word >> 16)};
}

Gains gainsFor(const Presets& presets, std::uint16_t temperature, std::int16_t cc) {
    const std::optional<Calibration> c = calibrate(presets);
    if (!c)
        return {};
    return gainsFrom(*c, temperature, cc);
}

GreyPoint fromGreyPoint(const Presets& presets, std::uint16_t p1, std::uint16_t p2,
                        std::uint16_t p3) {
    const std::optional<Calibration> c = calibrate(presets);
    if (!c || p1 == 0 || p2 == 0 || p3 == 0)
        return {};
    const double u = c->c1 - c->k1 * std::log(double(p1) / double(p2));
    const double w = (u - (c->c2 - c->k2 * std::log(double(p1) / double(p3)))) * 1e6;
    if (!std::isfinite(u) || !std::isfinite(w))
        return {};

    // Temperature and CC index are worked out wide, so a measurement far off
    // the scale is clamped instead of wrapping into 16 bits. A reciprocal
    // temperature of 0 or below lies beyond the hot end of the scale.
    long long temperature = kMaxTemperature + 1;
    if (u > 0)
        temperature = boundedInteger(std::trunc(1.0 / u + 0.5));
    long long cc = boundedInteger(w > 0 ? std::trunc(w / kCcWeightPositive + 0.5)
                                        : std::trunc(w / kCcWeightNegative - 0.5));

    bool recompute = true;
    if (temperature > kMaxTemperature) {
        temperature = kMaxTemperature;
        cc = std::clamp<long long>(cc, -kMaxCc, kMaxCc);
    } else if (temperature < kMinTemperature) {
        temperature = kMinTemperature;
        cc = std::clamp<long long>(cc, -kMaxCc, kMaxCc);
    } else if (cc > kMaxCc) {
        cc = kMaxCc;
    } else if (cc < -kMaxCc) {
        cc = -kMaxCc;
    } else {
        recompute = false;
    }

    GreyPoint result;
    result.setting = {static_cast<std::uint16_t>(temperature), static_cast<std::int16_t>(cc)};
    if (recompute) {
        const Gains gains = gainsFrom(*c, result.setting.temperature, result.setting.cc);
        if (gains.outcome != Outcome::Ok)
            return {gains.outcome, {}, 0, 0};
        result.first = gains.first;
        result.second = gains.second;
    } else {
        if (p1 > kMaxGain || p2 > kMaxGain)
            return {Outcome::OutOfRange, {}, 0, 0};
        result.first = p1;
        result.second = p2;
    }
    result.outcome = Outcome::Ok;
    return result;
}

std::int32_t exportResult(Outcome outcome) {
    switch (outcome) {
        case Outcome::Ok:
            return 0;
        case Outcome::OutOfRange:
            return 2;
        case Outcome::Degenerate:
            break;
    }
    return 1;
}

}  // namespace fotolien::wb
