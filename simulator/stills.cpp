#include "stills.h"

#include <cmath>
#include <cstdio>

#include "protocol.h"

namespace orkasim {

using namespace wire;

namespace {

// Scene time is quantised to this step for still pictures: shots taken
// within it show the same moment (and share one rendering).
constexpr double kStillTimeStep = 1.0;

int jpegQuality(int quality) {
    switch (quality) {
        case 2:
            return 85;
        case 3:
            return 70;
        default:
            return 95;
    }
}

double stillSeconds(const CaptureRecord& capture) {
    return std::floor(capture.sceneSeconds / kStillTimeStep) * kStillTimeStep;
}

bool sameSettings(const SceneSettings& a, const SceneSettings& b) {
    return a.exposureProgram == b.exposureProgram && a.shutterCode == b.shutterCode &&
           a.apertureCode == b.apertureCode && a.sensitivity == b.sensitivity &&
           a.exposureCompensation == b.exposureCompensation && a.colourMode == b.colourMode &&
           a.whiteBalance == b.whiteBalance && a.customGainFirst == b.customGainFirst &&
           a.customGainSecond == b.customGainSecond && a.focusDistanceMm == b.focusDistanceMm &&
           a.aperturePreview == b.aperturePreview;
}

void tiffEntry(Bytes& out, uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
    put16(out, tag);
    put16(out, type);
    put32(out, count);
    if (type == 3 && count == 1) {
        put16(out, static_cast<uint16_t>(value));
        put16(out, 0);
    } else {
        put32(out, value);
    }
}

}  // namespace

std::optional<ImageSize> imageSize(int sizeCode) {
    switch (sizeCode) {
        case 0:
            return ImageSize{3264, 2448};
        case 8:
            return ImageSize{3264, 2176};
        case 7:
            return ImageSize{2560, 1920};
        case 6:
            return ImageSize{2080, 1560};
        case 1:
            return ImageSize{1600, 1200};
        case 3:
            return ImageSize{640, 480};
        default:
            return std::nullopt;
    }
}

bool validQuality(int quality) {
    return quality == 0 || quality == 1 || quality == 2 || quality == 3 || quality == 5 ||
           quality == 6;
}

std::vector<std::string> captureExtensions(int quality, int colorMode) {
    const bool profileThumbnail = colorMode == 132;
    switch (quality) {
        case 0:
            return {".qrw", ".thm"};
        case 1:
            return {".tif", ".thm"};
        case 6:
            if (profileThumbnail)
                return {".jpg", ".qrw", ".thm"};
            return {".jpg", ".qrw"};
        default:
            if (profileThumbnail)
                return {".jpg", ".thm"};
            return {".jpg"};
    }
}

Bytes tiffFile(const RgbImage& image) {
    constexpr uint32_t kEntries = 10;
    constexpr uint32_t kIfd = 8;
    constexpr uint32_t kBitsAt = kIfd + 2 + kEntries * 12 + 4;
    constexpr uint32_t kDataAt = kBitsAt + 6;
    const uint32_t dataSize = static_cast<uint32_t>(image.pixels.size());
    Bytes out;
    out.reserve(kDataAt + dataSize);
    out.insert(out.end(), {'I', 'I', 42, 0});
    put32(out, kIfd);
    put16(out, kEntries);
    tiffEntry(out, 256, 4, 1, static_cast<uint32_t>(image.width));   // ImageWidth
    tiffEntry(out, 257, 4, 1, static_cast<uint32_t>(image.height));  // ImageLength
    tiffEntry(out, 258, 3, 3, kBitsAt);                              // BitsPerSample
    tiffEntry(out, 259, 3, 1, 1);                                    // no compression
    tiffEntry(out, 262, 3, 1, 2);                                    // RGB
    tiffEntry(out, 273, 4, 1, kDataAt);                              // StripOffsets
    tiffEntry(out, 277, 3, 1, 3);                                    // SamplesPerPixel
    tiffEntry(out, 278, 4, 1, static_cast<uint32_t>(image.height));  // RowsPerStrip
    tiffEntry(out, 279, 4, 1, dataSize);                             // StripByteCounts
    tiffEntry(out, 284, 3, 1, 1);                                    // chunky pixels
    put32(out, 0);                                                   // no further IFD
    for (int i = 0; i < 3; ++i)
        put16(out, 8);
    out.insert(out.end(), image.pixels.begin(), image.pixels.end());
    return out;
}

Bytes rawFile(const RgbImage& image) {
    Bytes out;
    const size_t pixels = static_cast<size_t>(image.width) * image.height;
    out.reserve(32 + (pixels * 3 + 1) / 2);
    out.insert(out.end(), {'Q', 'R', 'W', 0});
    put32(out, 1);  // version
    put32(out, static_cast<uint32_t>(image.width));
    put32(out, static_cast<uint32_t>(image.height));
    put32(out, 12);  // bits per sample
    put32(out, 0);   // mosaic RGGB
    put32(out, 32);  // data offset
    put32(out, 0);
    // The sensor sees one colour per site: red on even rows and columns,
    // blue on odd ones, green elsewhere. Eight bits become twelve.
    auto site = [&](size_t i) {
        const size_t x = i % image.width, y = i / image.width;
        const int channel = (y % 2 == 0) ? (x % 2 == 0 ? 0 : 1) : (x % 2 == 0 ? 1 : 2);
        return static_cast<uint16_t>(image.pixels[i * 3 + channel] << 4);
    };
    for (size_t i = 0; i < pixels; i += 2) {
        const uint16_t a = site(i);
        const uint16_t b = i + 1 < pixels ? site(i + 1) : 0;
        out.push_back(static_cast<uint8_t>(a >> 4));
        out.push_back(static_cast<uint8_t>(((a & 0x0F) << 4) | (b >> 8)));
        out.push_back(static_cast<uint8_t>(b));
    }
    return out;
}

Bytes StillRenderer::picture(const Scene& scene, const CaptureRecord& capture, ImageSize size,
                             int quality) {
    const double seconds = stillSeconds(capture);
    if (last_ && sameSettings(last_->settings, capture.settings) &&
        last_->size.width == size.width && last_->size.height == size.height &&
        last_->quality == quality && last_->sceneSeconds == seconds && !scene.change()) {
        return last_->jpeg;
    }
    Bytes jpeg = scene.renderJpeg(size.width, size.height, capture.settings, seconds, quality);
    last_ = Cached{capture.settings, size, quality, seconds, jpeg};
    return jpeg;
}

std::vector<OutgoingFile> StillRenderer::render(const Scene& scene, const CaptureRecord& capture) {
    const ImageSize size = imageSize(capture.sizeCode).value_or(ImageSize{3264, 2448});
    char base[16];
    std::snprintf(base, sizeof base, "PICT%04d", capture.pictureNumber);
    std::vector<OutgoingFile> files;
    for (const std::string& extension : captureExtensions(capture.quality, capture.colorMode)) {
        Bytes content;
        if (extension == ".jpg") {
            content = picture(scene, capture, size, jpegQuality(capture.quality));
        } else if (extension == ".thm") {
            content = scene.renderJpeg(160, 120, capture.settings, stillSeconds(capture), 85);
        } else {
            const RgbImage image = decodeJpeg(picture(scene, capture, size, 95));
            content = extension == ".tif" ? tiffFile(image) : rawFile(image);
        }
        OutgoingFile file;
        file.name = base + extension;
        file.size = content.size();
        file.bytes = std::make_shared<const Bytes>(std::move(content));
        files.push_back(std::move(file));
    }
    return files;
}

}  // namespace orkasim
