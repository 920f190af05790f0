// JPEG streams made for the tests with libjpeg: solid colours and a picture
// whose quadrants differ, so that a turn or a channel swap shows.
#pragma once

#include <QColor>
#include <QImage>

#include <cstdint>
#include <vector>

namespace samples {

// A baseline JPEG of image (any format), quality 95.
std::vector<uint8_t> Encode(const QImage& image, int quality = 95);
// w x h of one colour.
std::vector<uint8_t> Solid(int w, int h, QColor colour);
// w x h with quadrants red (top left), green (top right), blue (bottom
// left) and white (bottom right).
QImage Quadrants(int w, int h);

// True when a and b differ by at most tolerance in each channel.
bool Near(QColor a, QColor b, int tolerance = 12);

}  // namespace samples
