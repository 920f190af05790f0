// JPEG streams made for the tests with libjpeg: solid colours and a picture
// whose quadrants differ, so that a turn or a channel swap shows.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <vector>

namespace samples {

// How the encoder lays out the scans of a stream.
enum class Scans {
    Interleaved,   // baseline, one scan for all components (what the camera sends)
    PerComponent,  // baseline, one scan for each component
    Progressive,   // libjpeg's usual progressive script
};

// A JPEG of image (any format), quality 95 unless given.
std::vector<uint8_t> Encode(const QImage& image, int quality = 95,
                            Scans scans = Scans::Interleaved);
// w x h of one colour.
std::vector<uint8_t> Solid(int w, int h, QColor colour);
// w x h with quadrants red (top left), green (top right), blue (bottom
// left) and white (bottom right).
QImage Quadrants(int w, int h);

// True when a and b differ by at most tolerance in each channel.
bool Near(QColor a, QColor b, int tolerance = 12);

}  // namespace samples
