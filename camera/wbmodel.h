// Custom white-balance colour model: gains from a colour temperature and a
// CC index, and the temperature and CC index of measured grey-point gains.
//
// The model is calibrated afresh at each call from the two preset gain pairs
// the camera reports (daylight taken as 5500 K, tungsten as 2800 K). Gains
// are unsigned fixed point with 256 = 1.0. Pure functions, double precision.
#ifndef FOTOLIEN_WBMODEL_H
#define FOTOLIEN_WBMODEL_H

#include <cstdint>

namespace fotolien::wb {

// The camera never receives a gain above this.
inline constexpr std::uint32_t kMaxGain = 1023;
// Range the grey-point result is brought into.
inline constexpr int kMinTemperature = 2500;
inline constexpr int kMaxTemperature = 10000;
inline constexpr int kMaxCc = 60;

struct Presets {
    std::uint16_t d1 = 0, d2 = 0;  // daylight pair, 5500 K
    std::uint16_t t1 = 0, t2 = 0;  // tungsten pair, 2800 K
};

enum class Outcome {
    Ok,          // gains may be sent
    OutOfRange,  // a gain above kMaxGain: nothing is sent, the export returns 2
    Degenerate,  // no meaningful result: nothing is sent, the export returns 1
};

struct Gains {
    Outcome outcome = Outcome::Degenerate;
    // Valid (and at most kMaxGain) only when outcome is Ok.
    std::uint16_t first = 0;
    std::uint16_t second = 0;
};

// The custom white-balance word: low 16 bits temperature in kelvin, high 16
// bits the signed CC index.
struct Setting {
    std::uint16_t temperature = 0;
    std::int16_t cc = 0;
};
Setting decodeWord(std::uint32_t word);

// Gains for temperature T (kelvin) and CC index cc. Degenerate for T = 0,
// unusable presets (a zero gain, equal ratios or equal first gains) and any
// non-finite intermediate.
Gains gainsFor(const Presets& presets, std::uint16_t temperature, std::int16_t cc);

struct GreyPoint {
    Outcome outcome = Outcome::Degenerate;
    // Only when outcome is Ok: what the camera is sent and the caller told.
    Setting setting;  // clamped to 2500..10000 K and -60..60
    std::uint16_t first = 0;
    std::uint16_t second = 0;
};

// From point gains P1, P2 (a pair) and P3 (reference of P1): the
// temperature and CC index, and the gains to send, which are the measured
// P1, P2 unless the setting had to be clamped. Degenerate for unusable
// presets, a zero point gain and any non-finite intermediate.
GreyPoint fromGreyPoint(const Presets& presets, std::uint16_t p1, std::uint16_t p2,
                        std::uint16_t p3);

// The export result an outcome leads to: 2 and 1 are returned without
// sending; 0 means the gains go to the camera, whose answer then decides.
std::int32_t exportResult(Outcome outcome);

}  // namespace fotolien::wb

#endif
