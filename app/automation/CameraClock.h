// Setting the camera's clock from the computer's: the two words the camera
// reads, and the text of the date and time that was sent.
#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

#include <cstdint>

namespace orka {

struct ClockWords {
    // Year (16 bits), then month and day, one byte each.
    uint32_t date = 0;
    // Hour, minute and second, one byte each, then a zero byte.
    uint32_t time = 0;
};

// Milliseconds are dropped.
ClockWords CameraClockWords(const QDateTime& when);

// One space, the date in the locale's short format, a space and the time with
// its seconds (" 06/12/2026 11:21:04" in French).
QString ClockText(const QDateTime& when, const QLocale& locale);

}  // namespace orka
