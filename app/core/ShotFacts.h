// What the review says about a shot: its settings, from the status record the
// window held when it shot, in the texts of the window's value tables; the
// exposure figures written into the picture's sidecar; and the file's name,
// size and folder.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>
#include <optional>

#include "fotolien.h"

namespace orka {

// A fraction, as the standard metadata tags write exposure times and
// f-numbers.
struct Rational {
    int32_t numerator = 0;
    int32_t denominator = 1;
    bool operator==(const Rational&) const = default;
};

// The exposure of a shot in figures; a field is empty when the record's code
// is outside the tables (or, for the sensitivity, automatic).
struct ExposureFigures {
    std::optional<Rational> exposureTime;  // seconds
    std::optional<Rational> fNumber;
    std::optional<int> iso;
};
ExposureFigures ExposureOf(const CameraStatusData& status);

// One line per setting, "Label : valeur": speed, aperture, sensitivity,
// compensation, white balance, focus mode and point, quality, size. A code
// outside the tables reads "---". The focus point (camera frame) is named
// for autofocus on the flexible point; central focus says so.
QStringList ShotSettingsLines(const CameraStatusData& status, std::array<int32_t, 2> focusPoint);

// The file's name, its size ("2,4 Mo", French) and its folder, one per line;
// a size of -1 reads "taille inconnue".
QStringList FileFactsLines(const QString& path, qint64 bytes);

}  // namespace orka
