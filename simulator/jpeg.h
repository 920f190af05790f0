// JPEG streams through libjpeg: encoding of RGB pixels and decoding back to
// them (the raw and TIFF files of a capture start from the scene's JPEG).
#pragma once

#include <cstdint>
#include <vector>

namespace orkasim {

struct RgbImage {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // rows of width x 3 bytes, red first
};

// A baseline JPEG stream of `image`; empty when the image is empty.
std::vector<uint8_t> encodeJpeg(const RgbImage& image, int quality);
// The pixels of a JPEG stream; an empty image when the stream is not one.
RgbImage decodeJpeg(const std::vector<uint8_t>& stream);

}  // namespace orkasim
