#include "CameraClock.h"

#include <QRegularExpression>

namespace orka {

ClockWords CameraClockWords(const QDateTime& when) {
    const QDate d = when.date();
    const QTime t = when.time();
    ClockWords words;
    words.date = uint32_t(d.year() & 0xFFFF) | uint32_t(d.month()) << 16 | uint32_t(d.day()) << 24;
    words.time = uint32_t(t.hour()) | uint32_t(t.minute()) << 8 | uint32_t(t.second()) << 16;
    return words;
}

QString ClockText(const QDateTime& when, const QLocale& locale) {
    // The long time format, without the time zone that Qt's long format adds.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b"));
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    timeFormat.remove(zone);
    return QLatin1Char(' ') + locale.toString(when.date(), QLocale::ShortFormat) +
           QLatin1Char(' ') + locale.toString(when.time(), timeFormat.trimmed());
}

}  // namespace orka
