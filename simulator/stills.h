// The files a capture leaves on the camera, rendered from the scene.
//
// Which files a picture gives, by image quality (parameter 4) and colour
// mode (parameter 29), in the order the camera sends them:
//   quality 0 (raw)           PICTnnnn.qrw, PICTnnnn.thm
//   quality 1 (TIFF)          PICTnnnn.tif, PICTnnnn.thm
//   quality 6 (raw and JPEG)  PICTnnnn.jpg, PICTnnnn.qrw, and PICTnnnn.thm
//                             in the Adobe RGB profile mode (132)
//   qualities 2, 3, 5 (JPEG)  PICTnnnn.jpg, and PICTnnnn.thm in mode 132
// The thumbnail always comes last and the raw file of quality 6 right after
// its JPEG, so a host that numbers files in arrival order can give them the
// number of the picture file before them.
//
// Contents: ".jpg" the scene at the chosen size (extra fine 95, fine 85,
// standard 70); ".thm" a 160 x 120 JPEG; ".tif" baseline RGB TIFF,
// uncompressed, one strip; ".qrw" a 32-byte header ("QRW", version, width,
// height, 12 bits, RGGB, data offset) and the RGGB mosaic packed two pixels
// in three bytes.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "jpeg.h"
#include "scene.h"

namespace orkasim {

using Bytes = std::vector<uint8_t>;

// One picture taken by Capture, with what it needs to be rendered later.
struct CaptureRecord {
    uint32_t command = 0;  // number of the Capture command
    int driveMode = 0;
    int sizeCode = 0;
    int quality = 5;
    int colorMode = 0;
    SceneSettings settings;
    double sceneSeconds = 0;
    int pictureNumber = 1;  // the camera's own file number
    bool discard = false;
};

// A file the camera sends: its bytes, or (when `bytes` is null) `size`
// bytes of Camera::filePatternByte.
struct OutgoingFile {
    std::string name;
    std::shared_ptr<const Bytes> bytes;
    uint64_t size = 0;
};

struct ImageSize {
    int width;
    int height;
};

// Pixel size of an image size code (parameter 3); nothing for other codes.
std::optional<ImageSize> imageSize(int sizeCode);
bool validQuality(int quality);
// Extensions of the files of one picture, in sending order.
std::vector<std::string> captureExtensions(int quality, int colorMode);

Bytes tiffFile(const RgbImage& image);
Bytes rawFile(const RgbImage& image);

// Renders the files of captures. Used by the timer thread only; it keeps
// the last full-size picture so that a burst of shots with unchanged
// settings does not render the same picture again and again.
class StillRenderer {
  public:
    std::vector<OutgoingFile> render(const Scene& scene, const CaptureRecord& capture);

  private:
    Bytes picture(const Scene& scene, const CaptureRecord& capture, ImageSize size, int quality);

    struct Cached {
        SceneSettings settings;
        ImageSize size;
        int quality;
        double sceneSeconds;
        Bytes jpeg;
    };
    std::optional<Cached> last_;
};

}  // namespace orkasim
