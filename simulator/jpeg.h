// Decoding of JPEG streams through libjpeg: the raw and TIFF files of a
// capture start from the scene's JPEG picture.
#pragma once

#include <cstdint>
#include <vector>

namespace orkasim {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // rows of width x 3 bytes, red first
};

// The pixels of a JPEG stream; an empty image when the stream is not one.
RgbImage decodeJpeg(const std::vector<uint8_t>& stream);

}  // namespace orkasim
