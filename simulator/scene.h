// The simulated camera's picture: a synthetic scene rendered as JPEG streams.
//
// A brick wall thirty metres away (across a courtyard: focused at infinity it
// is sharp), a table, a colour chart and a striped vase at two metres (the
// subject), and a small lamp that drifts along the wall. The
// rendering follows the camera's settings the way a photographer expects:
// exposure codes and compensation change the brightness (auto-exposure holds
// it in P, A and S within the lens and shutter limits), black-and-white and
// solarisation change the look, the white-balance preset tints the picture,
// manual focus blurs whatever is away from the focus distance, and the
// aperture preview deepens or narrows the depth of field.
//
// Everything here is plain C++ with libjpeg for the encoding; no state is
// shared between Scene objects.
#pragma once

#include <cstdint>
#include <mutex>
#include <optional>
#include <span>
#include <vector>

namespace orkasim {

// Distance of the subject (chart, vase, table) from the camera.
constexpr int kSubjectDistanceMm = 2000;
// Distance of the wall and the moving lamp.
constexpr int kBackgroundDistanceMm = 30000;
// Size of the camera frame in which points (grey point, focus point) are given.
constexpr int kCameraFrameWidth = 3264;
constexpr int kCameraFrameHeight = 2448;

// The camera settings that change the picture, in the camera's own codes
// (the values of its parameter table).
struct SceneSettings {
    int exposureProgram = 0;  // parameter 0: 0 program, 1 aperture priority, 2 shutter, 3 manual
    int shutterCode = 104;    // parameter 8: 8 = 30 s ... 48 = 1 s ... 136; 8 codes a stop
    int apertureCode = 48;    // parameter 9: 33 = F/2.8 ... 48 = F/5.6 ... 64 = F/11
    int sensitivity = 4;      // parameter 7: 0 ISO 100, 1 200, 2 400, 3 800, 4 auto, 5 ISO 64
    int exposureCompensation = 6;  // parameter 15: thirds of a stop, 6 = 0 EV
    int colourMode = 0;            // parameter 29: 1 black and white, 3 solarisation, 2 saturated
    uint32_t whiteBalance = 0x00800000;  // parameter 2: preset code (0x07800000 custom)
    uint16_t customGainFirst = 0;        // last SetCustomWBGain pair, 256 = 1.0; 0 = none yet
    uint16_t customGainSecond = 0;
    int focusDistanceMm = kSubjectDistanceMm;  // where the lens is focused; 0 = infinity
    bool aperturePreview = false;              // parameter 87: stopped down to the set aperture
};

// Settings from the camera's parameter table (indexes 0, 2, 7, 8, 9, 10, 15,
// 27, 29, 87; missing entries keep their defaults). With autofocus
// (parameter 10 = 0) the lens is on the subject; with manual focus the
// distance is parameter 27. Custom gains are not in the table: set them apart.
SceneSettings settingsFromParameters(std::span<const int32_t> parameters);

// What the camera's exposure system makes of the settings.
struct ExposureReading {
    double stops = 0;           // brightness against a correct exposure (+ over, - under)
    int shutterCode = 0;        // shutter code in use (chosen by the camera in P and A)
    int apertureCode = 0;       // aperture code in use (chosen by the camera in P and S)
    int autoRangeExceeded = 0;  // P/A/S only: +1 too bright, -1 too dark for the limits
};
ExposureReading exposureReading(const SceneSettings& settings);

// Mean luma (0..255) of the picture the settings give.
double meanLuma(const SceneSettings& settings);
// Luma limits above and below which the camera warns.
constexpr double kOverexposedLuma = 200;
constexpr double kUnderexposedLuma = 40;
// Warning bits of parameter 57: bit 0 over the metering range, bit 1 under
// it, bit 2 too bright and bit 3 too dark for the automatic exposure.
uint32_t exposureWarnings(const SceneSettings& settings);

// White balance. Gains are 16-bit fixed point, 256 = 1.0: the first gain
// multiplies red and the second blue, both against green.
struct PresetWbGains {
    uint16_t d1, d2;  // gains that neutralise 5500 K light
    uint16_t t1, t2;  // gains that neutralise 2800 K light
};
constexpr PresetWbGains kPresetWbGains{480, 352, 300, 560};
// Colour temperature of the light on the scene.
constexpr int kSceneTemperature = 5000;

// Gains measured at a point of the camera frame (clamped into it): P1 and P2
// neutralise the colour there, against the reference P3. Measured on the
// sensor data, so the result does not depend on the white-balance setting.
struct PointWbGains {
    uint16_t p1, p2, p3;
};
PointWbGains pointGains(int x, int y);

// Centre of the neutral grey patch of the chart, in camera-frame coordinates.
struct FramePoint {
    int x, y;
};
FramePoint greyPatchCentre();

// A rectangle in the pixel coordinates of a rendered frame.
struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Which part of the scene a pixel shows: the background (wall and lamp, at
// kBackgroundDistanceMm) or the subject (table, chart, vase and fruit, at
// kSubjectDistanceMm). Tests of the focusing aids take from it the regions a
// focus distance makes sharp (blurPixels).
enum class Depth : uint8_t { Background, Subject };
// The part shown at the centre of each pixel of a width x height frame, row
// after row; empty for a size outside 1..65500.
std::vector<Depth> depthMap(int width, int height);
// Radius of the blur, in pixels of a frame `width` pixels wide, of what lies
// at distanceMm with these settings (focus distance, aperture preview). Half
// a pixel is the least: that part of the picture is then sharp.
double blurPixels(int distanceMm, const SceneSettings& settings, int width);

class Scene {
  public:
    // A complete baseline JPEG stream (4:2:0) of the scene at `seconds`
    // (which moves the lamp), or an empty vector for a size outside
    // 1..65500. Quality is clamped to 1..100.
    std::vector<uint8_t> renderJpeg(int width, int height, const SceneSettings& settings,
                                    double seconds, int quality = 85) const;
    // The same picture before compression: rows of RGB bytes, without the
    // change rectangle; empty for a size outside 1..65500.
    std::vector<uint8_t> renderRgb(int width, int height, const SceneSettings& settings,
                                   double seconds) const;

    // `count` frames at seconds 0, step, 2 step, ... to be served in a loop.
    std::vector<std::vector<uint8_t>> prerender(int width, int height,
                                                const SceneSettings& settings, int count,
                                                double stepSeconds = 0.2) const;

    // Places a visible change (every pixel's channels shifted by 128) inside
    // `rect`, clipped to each rendered frame; nullopt removes it.
    void setChange(std::optional<Rect> rect);
    std::optional<Rect> change() const;

  private:
    mutable std::mutex mutex_;
    std::optional<Rect> change_;  // guarded by mutex_
};

}  // namespace orkasim
