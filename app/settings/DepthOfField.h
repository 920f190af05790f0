// Depth of field of the camera's lens for a 24 x 36 equivalent focal length,
// an aperture index and a focus distance, with a circle of confusion of 8 µm.
#pragma once

#include <QLocale>
#include <QString>

#include <cstdint>
#include <optional>

namespace orka {

struct DepthOfField {
    long double hyperfocal = 0;  // metres
    long double nearLimit = 0;   // metres
    long double farLimit = 0;    // metres; meaningless when farInfinite
    bool farInfinite = false;
    QString nearText;  // for eDProc
    QString farText;   // for eDLoin: "Inf." or the far limit
};

// Ratio of the 24 x 36 equivalent to the real focal length.
inline constexpr long double FocalRatio = 3.9129L;
// Circle of confusion in millimetres.
inline constexpr long double CircleOfConfusion = 0.008L;
// Distance used for the near limit when the far limit is infinite, metres.
inline constexpr long double InfiniteDistance = 10000.0L;

// Computes the limits of sharpness. distanceMm is the camera's focus distance
// (0 = infinity), apertureIndex 0..12 (nullopt outside), focalLength the
// equivalent focal length in mm. The far limit is infinite when the camera
// reports infinity, when the distance lies beyond the hyperfocal distance, and
// also when the far-limit denominator is zero or negative (a distance just
// short of the hyperfocal one). Texts use "%.4g" with the locale's decimal
// separator.
std::optional<DepthOfField> ShowDepthOfField(uint32_t distanceMm, int apertureIndex,
                                             int focalLength, const QLocale& locale = QLocale());

// printf's "%.<digits>g" of value with the locale's decimal separator (no
// group separators).
QString FormatGeneral(long double value, int digits, const QLocale& locale = QLocale());
inline QString FormatGeneral4(long double value, const QLocale& locale = QLocale()) {
    return FormatGeneral(value, 4, locale);
}

}  // namespace orka
