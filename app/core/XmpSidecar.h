// Ratings saved with the pictures: a standard XMP sidecar beside the picture,
// read and written through libexiv2, so that any XMP-aware viewer reads the
// stars and the exposure.
//
// The sidecar of NAME.EXT is NAME.xmp. A raw picture and the JPEG the camera
// saves with it carry the same number, so they share one sidecar: they are
// one shot, and a rating given to either is the shot's. The sidecar holds
// xmp:Rating (-1 rejected, 0 not rated, 1 to 5 stars) and the shot's exposure
// in the EXIF schema (exif:ExposureTime, exif:FNumber, exif:ISOSpeedRatings).
// Writing keeps whatever else the sidecar holds (another program's labels or
// edits), replaces it atomically (a temporary file, synced, renamed over it),
// and never opens the picture itself. A sidecar that exists but cannot be
// read is left alone and reported.
#pragma once

#include <QString>

#include <cstddef>
#include <optional>
#include <string>

#include "ShotFacts.h"

namespace orka {

inline constexpr int RatingRejected = -1;
inline constexpr int RatingNone = 0;
inline constexpr int RatingMaxStars = 5;

// A sidecar larger than this is not read (nor replaced).
inline constexpr qint64 MaxSidecarBytes = 4 * 1024 * 1024;

// NAME.xmp beside picture NAME.EXT (or NAME.xmp for a name without
// extension).
QString SidecarPath(const QString& picture);

struct SidecarFacts {
    std::optional<int> rating;  // -1..5, empty when the sidecar has none
    ExposureFigures exposure;
};

// Reads the text of a sidecar (an XMP packet, with or without its wrapper).
// False with a French error when it is not XMP; a rating outside -1..5 or of
// another type is ignored (left empty).
bool ParseSidecar(const char* data, size_t size, SidecarFacts& facts, QString* error);

// Reads the sidecar of picture. True with facts empty when there is none.
bool ReadSidecar(const QString& picture, SidecarFacts& facts, QString* error);

// Sets the rating (-1..5) and the exposure figures that are known in the
// sidecar of picture, creating it when needed. False with a French error,
// the sidecar then as it was.
bool WriteRating(const QString& picture, int rating, const ExposureFigures& exposure,
                 QString* error);

}  // namespace orka
