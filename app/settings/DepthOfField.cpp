#include "DepthOfField.h"

#include <QCoreApplication>

#include "InterfaceOrka.h"

#include <charconv>

namespace orka {

QString FormatGeneral(long double value, int digits, const QLocale& locale) {
    // to_chars is printf's "%.<digits>g" without the C locale (which Qt sets
    // from the environment), so the only separator to replace is '.'.
    char buf[64];
    const auto [end, ec] =
        std::to_chars(buf, buf + sizeof buf, value, std::chars_format::general, digits);
    QString text = QString::fromLatin1(buf, ec == std::errc() ? end - buf : 0);
    text.replace(QLatin1Char('.'), locale.decimalPoint());
    return text;
}

std::optional<DepthOfField> ShowDepthOfField(uint32_t distanceMm, int apertureIndex,
                                             int focalLength, const QLocale& locale) {
    const std::optional<long double> n = InterfaceOrka::FNumber(apertureIndex);
    if (!n) {
        return std::nullopt;
    }
    DepthOfField dof;
    long double d = distanceMm / 1000.0L;
    const long double f = focalLength / FocalRatio;
    const long double h = f * f / (*n * 1000.0L * CircleOfConfusion);
    dof.hyperfocal = h;

    if (d == 0 || d > h) {
        dof.farInfinite = true;
        d = InfiniteDistance;
    } else {
        const long double farDenominator = h - d - f / 1000.0L;
        if (farDenominator <= 0) {
            // Just short of the hyperfocal distance the formula has no
            // meaningful value: everything beyond is sharp.
            dof.farInfinite = true;
        } else {
            dof.farLimit = h * d / farDenominator;
        }
    }
    dof.nearLimit = h * d / (h + d - f / 1000.0L);

    dof.farText = dof.farInfinite ? QCoreApplication::translate("DepthOfField", "Inf.")
                                  : FormatGeneral4(dof.farLimit, locale);
    dof.nearText = FormatGeneral4(dof.nearLimit, locale);
    return dof;
}

}  // namespace orka
