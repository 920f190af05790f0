// Procedural rendering of the simulated camera's scene.
//
// Every element is drawn analytically with its own blur: an edge is a smooth
// ramp as wide as the blur, a band (mortar line, chart patch) the difference
// of two ramps, and a periodic texture a cosine whose amplitude falls with
// the blur. So defocus costs nothing extra, whatever the frame size, and rows
// go straight to the JPEG encoder without a full-frame buffer. Trigonometry
// runs per column and per row, never per pixel.
#include "scene.h"

#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <limits>
#include <numbers>

namespace orkasim {
namespace {

// Scene geometry in scene units: the frame is 1 wide and 0.75 high (4:3);
// other aspect ratios crop or extend it vertically around its centre.
constexpr float kBrickW = 0.07f, kBrickH = 0.026f, kMortar = 0.004f;
constexpr float kTableTop = 0.53f;
constexpr float kBoardL = 0.05f, kBoardT = 0.33f, kBoardR = 0.41f, kBoardB = 0.60f;
constexpr float kPatchX0 = kBoardL + 0.0165f, kPatchY0 = kBoardT + 0.014f;
constexpr float kPatch = 0.072f, kPatchPitch = 0.085f;
constexpr float kVaseX = 0.63f, kVaseY = 0.445f, kVaseRx = 0.085f, kVaseRy = 0.10f;
constexpr float kNeckL = 0.605f, kNeckR = 0.655f, kNeckT = 0.29f, kNeckB = 0.36f;
constexpr float kStripePeriod = 0.022f;
constexpr float kFruitX = 0.80f, kFruitY = 0.555f, kFruitR = 0.045f;
constexpr float kLampY = 0.13f, kLampR = 0.028f;
constexpr double kLampPeriodSeconds = 40;
constexpr int kGreyRow = 2, kGreyColumn = 1;

struct Rgb {
    float r, g, b;
};
constexpr Rgb kBrick{0.42f, 0.17f, 0.11f}, kMortarColour{0.38f, 0.36f, 0.33f};
constexpr Rgb kWood{0.32f, 0.19f, 0.10f}, kBoard{0.035f, 0.035f, 0.035f};
constexpr Rgb kVaseBlue{0.06f, 0.12f, 0.40f}, kVaseWhite{0.80f, 0.78f, 0.72f};
constexpr Rgb kFruit{0.75f, 0.25f, 0.03f}, kLamp{1.6f, 1.3f, 0.6f};
// Linear reflectances of the chart; row 2 column 1 is the neutral grey.
constexpr Rgb kPatches[3][4] = {
    {{0.50f, 0.06f, 0.05f}, {0.08f, 0.35f, 0.08f}, {0.05f, 0.08f, 0.45f}, {0.70f, 0.55f, 0.05f}},
    {{0.50f, 0.08f, 0.35f}, {0.05f, 0.35f, 0.50f}, {0.70f, 0.28f, 0.04f}, {0.45f, 0.28f, 0.20f}},
    {{0.85f, 0.85f, 0.85f}, {0.18f, 0.18f, 0.18f}, {0.06f, 0.06f, 0.06f}, {0.02f, 0.02f, 0.02f}}};

// Light and lens.
constexpr double kSceneEv100 = 12;        // exposure value of the scene at ISO 100
constexpr double kBlurPerDioptre = 0.06;  // blur radius in frame widths per dioptre at F/1
constexpr double kLiveViewFNumber = 2.8;  // the live view looks through the open lens
constexpr double kAvMin = (33 - 8) / 8.0, kAvMax = (64 - 8) / 8.0;
constexpr double kTvMin = (8 - 48) / 8.0, kTvMax = (136 - 48) / 8.0;

// Coverage of an edge at signed distance d (inside > 0) blurred over s.
inline float ramp(float d, float s) {
    const float t = std::clamp(d / (2 * s) + 0.5f, 0.f, 1.f);
    return t * t * (3 - 2 * t);
}
// Coverage of the interval [a, b] at x.
inline float band(float x, float a, float b, float s) {
    return ramp(x - a, s) - ramp(x - b, s);
}
// Amplitude left of a cosine of `period` under blur s.
inline float attenuation(float period, float s) {
    const float k = 2 * std::numbers::pi_v<float> * 0.8f * s / period;
    return std::exp(-0.5f * k * k);
}
inline void over(float* p, Rgb c, float a) {
    p[0] += (c.r - p[0]) * a;
    p[1] += (c.g - p[1]) * a;
    p[2] += (c.b - p[2]) * a;
}
inline Rgb scaled(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

uint32_t hash(int a, int b) {
    uint32_t h = static_cast<uint32_t>(a) * 0x9E3779B1u ^ static_cast<uint32_t>(b) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    return h ^ (h >> 12);
}
float brickTone(int row, int column) {
    return 0.78f + 0.44f * (hash(row, column) & 0xFFFF) / 65535.f;
}

// ---- white balance ----------------------------------------------------------
// The sensor's white-balance gains (red, blue against green) for light of
// temperature T and colour-correction index cc: log gains are straight lines
// in inverse temperature through the two preset pairs, the level (red gain)
// calibrated slightly off the temperatures as the camera does it.
struct Gains {
    double red, blue;
};
Gains sensorGains(double kelvin, int cc) {
    const auto& p = kPresetWbGains;
    const double rd = std::log(double(p.d1) / p.d2), rt = std::log(double(p.t1) / p.t2);
    const double qd = std::log(p.d1 / 256.0), qt = std::log(p.t1 / 256.0);
    const double ud = 1 / 5500.0, ut = 1 / 2800.0;
    const double vd = ud - 0.000015, vt = ut + 0.000025;
    const double u = 1 / kelvin, v = u - (cc > 0 ? 3.49 : 2.13) * cc * 1e-6;
    const double logRatio = rd + (u - ud) * (rt - rd) / (ut - ud);
    const double logRed = qd + (v - vd) * (qt - qd) / (vt - vd);
    return {std::exp(logRed), std::exp(logRed - logRatio)};
}

// The light on the scene as seen by the sensor, relative to green.
Rgb illuminant() {
    const Gains g = sensorGains(kSceneTemperature, 0);
    return {float(1 / g.red), 1.f, float(1 / g.blue)};
}

// Channel multipliers of the picture for a white-balance code: the preset's
// gains applied to the scene's light, normalised to keep the luminance.
Rgb whiteBalanceTint(const SceneSettings& s) {
    struct Preset {
        uint32_t code;
        int kelvin, cc;
    };
    static constexpr Preset kPresets[] = {
        {0x01800000, 5500, 0},  {0x02800000, 6500, 0}, {0x03800000, 2800, 0},
        {0x04800000, 6000, 0},  {0x06800000, 7500, 0}, {0x05800000, 4000, 10},
        {0x05810000, 4500, 12}, {0x05820000, 4300, 6}, {0x05830000, 5000, 6},
        {0x05840000, 6300, 12}, {0x057E0000, 3000, 6}, {0x057F0000, 4100, 6}};
    Gains g{0, 0};
    if ((s.whiteBalance >> 24) == 0x07 && s.customGainFirst != 0 && s.customGainSecond != 0) {
        g = {s.customGainFirst / 256.0, s.customGainSecond / 256.0};
    } else if ((s.whiteBalance >> 24) == 0x07) {
        g = sensorGains(5500, 0);
    }
    for (const Preset& p : kPresets) {
        if (p.code == s.whiteBalance)
            g = sensorGains(p.kelvin, p.cc);
    }
    if (g.red == 0)
        return {1, 1, 1};  // automatic: neutral
    const Rgb e = illuminant();
    Rgb m{float(e.r * g.red), 1.f, float(e.b * g.blue)};
    return scaled(m, 1 / (0.299f * m.r + 0.587f * m.g + 0.114f * m.b));
}

// ---- exposure ---------------------------------------------------------------
double fNumber(int apertureCode) {
    const double av = std::clamp((apertureCode - 8) / 8.0, kAvMin, kAvMax);
    return std::exp2(av / 2);
}

// Linear value to sRGB byte.
const std::array<uint8_t, 4096>& toneCurve() {
    static const std::array<uint8_t, 4096> curve = [] {
        std::array<uint8_t, 4096> c{};
        for (size_t i = 0; i < c.size(); ++i) {
            const double v = double(i) / (c.size() - 1);
            const double s = v <= 0.0031308 ? 12.92 * v : 1.055 * std::pow(v, 1 / 2.4) - 0.055;
            c[i] = static_cast<uint8_t>(std::lround(255 * s));
        }
        return c;
    }();
    return curve;
}

// Blur radius, in frame widths, of what lies at distanceMm: the live view
// looks through the open lens unless the aperture is previewed.
float blurOf(int distanceMm, const SceneSettings& s) {
    const double f =
        s.aperturePreview ? fNumber(exposureReading(s).apertureCode) : kLiveViewFNumber;
    const double focus = s.focusDistanceMm > 0 ? 1000.0 / s.focusDistanceMm : 0;
    const double object = distanceMm > 0 ? 1000.0 / distanceMm : 0;
    return float(kBlurPerDioptre * std::abs(object - focus) / f);
}

// Whether the subject covers the scene point (x, y), with its sharp outline.
bool onSubject(float x, float y) {
    const auto inDisc = [&](float cx, float cy, float r) {
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) < r * r;
    };
    const float dx = (x - kVaseX) / kVaseRx, dy = (y - kVaseY) / kVaseRy;
    return y >= kTableTop || (x >= kBoardL && x < kBoardR && y >= kBoardT && y < kBoardB) ||
           dx * dx + dy * dy < 1 || (x >= kNeckL && x < kNeckR && y >= kNeckT && y < kNeckB) ||
           inDisc(kFruitX, kFruitY, kFruitR);
}

// ---- rendering --------------------------------------------------------------
// Renders columns [x0, x1) of a width x height frame, one row at a time.
class Renderer {
  public:
    Renderer(int width, int height, int x0, int x1, const SceneSettings& s, double seconds,
             bool sharp)
        : w_(width), h_(height), x0_(x0), n_(x1 - x0) {
        const float pixel = 0.5f / width;
        auto blur = [&](int mm) { return sharp ? pixel : std::max(pixel, blurOf(mm, s)); };
        sBg_ = blur(kBackgroundDistanceMm);
        sFg_ = blur(kSubjectDistanceMm);
        const ExposureReading e = exposureReading(s);

        const float expo = float(std::exp2(e.stops));
        const Rgb tint = whiteBalanceTint(s);
        gain_ = {tint.r * expo, tint.g * expo, tint.b * expo};
        mono_ = s.colourMode == 1;
        solarise_ = s.colourMode == 3;
        saturation_ = s.colourMode == 2                            ? 333
                      : (s.colourMode == 4 || s.colourMode == 132) ? 225
                                                                   : 256;

        const double t = std::isfinite(seconds) ? seconds / kLampPeriodSeconds : 0;
        const double phase = t - std::floor(t);
        lampX_ = float(0.12 + 0.76 * (phase < 0.5 ? 2 * phase : 2 - 2 * phase));

        xs_.resize(n_);
        for (int i = 0; i < n_; ++i)
            xs_[i] = (x0 + i + 0.5f) / width;
        columnTables();
    }

    // Linear scene values (3 floats a pixel) of row y.
    void linearRow(int y, float* px) const noexcept {
        const float sy = 0.375f + (y + 0.5f - h_ / 2.f) / w_;
        const float table = ramp(sy - kTableTop, sFg_);
        if (table < 1) {
            wallRow(sy, px);
        } else {
            std::fill(px, px + 3 * n_, 0.f);
        }
        discRow(sy, px, lampX_, kLampY, kLampR, kLamp, sBg_);
        if (table > 0)
            tableRow(sy, table, px);
        chartRow(sy, px);
        vaseRow(sy, px);
        discRow(sy, px, kFruitX, kFruitY, kFruitR, kFruit, sFg_);
        discRow(sy, px, kFruitX - 0.015f, kFruitY - 0.015f, 0.01f, {1.5f, 1.5f, 1.4f}, sFg_);
    }

    // sRGB bytes of row y after exposure, white balance and colour mode.
    void displayRow(int y, float* scratch, uint8_t* out) const noexcept {
        linearRow(y, scratch);
        const auto& curve = toneCurve();
        const float g[3] = {gain_[0] * 4095, gain_[1] * 4095, gain_[2] * 4095};
        const bool plain = !mono_ && !solarise_ && saturation_ == 256;
        for (int i = 0; i < n_; ++i) {
            int c[3];
            for (int k = 0; k < 3; ++k) {
                const float v = std::clamp(scratch[3 * i + k] * g[k] + 0.5f, 0.f, 4095.f);
                c[k] = curve[int(v)];
            }
            if (plain) {
                for (int k = 0; k < 3; ++k)
                    out[3 * i + k] = static_cast<uint8_t>(c[k]);
                continue;
            }
            const int luma = (77 * c[0] + 150 * c[1] + 29 * c[2]) >> 8;
            for (int k = 0; k < 3; ++k) {
                int v = mono_ ? luma : luma + (((c[k] - luma) * saturation_) >> 8);
                v = std::clamp(v, 0, 255);
                if (solarise_)
                    v = std::min(255, 2 * std::min(v, 255 - v));
                out[3 * i + k] = static_cast<uint8_t>(v);
            }
        }
    }

  private:
    // Columns whose centres lie within [a, b] in scene x.
    std::pair<int, int> span(float a, float b) const {
        const int i0 = std::max(0, int(std::floor(a * w_ - 0.5f)) - x0_);
        const int i1 = std::min(n_, int(std::ceil(b * w_ - 0.5f)) + 1 - x0_);
        return {i0, std::max(i0, i1)};
    }

    void columnTables() {
        for (int p = 0; p < 2; ++p) {
            const float offset = p ? kBrickW / 2 : 0;
            for (float x : xs_) {
                const float u = (x - offset) / kBrickW;
                const int k = int(std::floor(u));
                const bool leftJoint = u - k < 0.5f;
                const float joint = (leftJoint ? k : k + 1) * kBrickW + offset;
                brickLeft_[p].push_back(leftJoint ? k - 1 : k);
                brickMin_ = std::min(brickMin_, brickLeft_[p].back());
                brickNext_[p].push_back(ramp(x - joint, sBg_));
                mortarX_[p].push_back(band(x, joint - kMortar / 2, joint + kMortar / 2, sBg_));
            }
        }
        const float grain = 0.10f * attenuation(0.011f, sBg_);
        const float stripes = attenuation(kStripePeriod, sFg_);
        for (float x : xs_) {
            grainX_.push_back(grain * std::cos(2 * std::numbers::pi_v<float> * x / 0.011f));
            const float c = std::cos(2 * std::numbers::pi_v<float> * (x - kVaseX) / kStripePeriod);
            stripes_.push_back(std::clamp(0.5f + 1.5f * stripes * c, 0.f, 1.f));
            boardX_.push_back(band(x, kBoardL, kBoardR, sFg_));
            for (int c4 = 0; c4 < 4; ++c4) {
                const float a = kPatchX0 + c4 * kPatchPitch;
                patchX_[c4].push_back(band(x, a, a + kPatch, sFg_));
            }
        }
    }

    void wallRow(float y, float* px) const {
        const int row = int(std::floor(y / kBrickH));
        const bool topJoint = y - row * kBrickH < kBrickH / 2;
        const int upper = topJoint ? row - 1 : row;
        const float joint = (upper + 1) * kBrickH;
        const float lowerWeight = ramp(y - joint, sBg_);
        const float mortarY = band(y, joint - kMortar / 2, joint + kMortar / 2, sBg_);
        const float grainY = std::cos(2 * std::numbers::pi_v<float> * y / 0.009f);
        // Tones of the bricks of both rows, by brick index from brickMin_.
        std::array<std::array<float, kMaxBricks + 1>, 2> tones;
        for (int r = 0; r < 2; ++r)
            for (int k = 0; k <= kMaxBricks; ++k)
                tones[r][k] = brickTone(upper + r, brickMin_ + k);
        const int parity = upper & 1;
        for (int i = 0; i < n_; ++i) {
            float tone[2], mortar[2];
            for (int r = 0; r < 2; ++r) {
                const int p = parity ^ r, k = brickLeft_[p][i] - brickMin_;
                const float next = brickNext_[p][i];
                tone[r] = tones[r][k] + (tones[r][k + 1] - tones[r][k]) * next;
                mortar[r] = mortarX_[p][i];
            }
            const float t = tone[0] + (tone[1] - tone[0]) * lowerWeight;
            const float mx = mortar[0] + (mortar[1] - mortar[0]) * lowerWeight;
            const float m = 1 - (1 - mortarY) * (1 - mx);
            const Rgb c = mix(scaled(kBrick, t * (1 + grainX_[i] * grainY)), kMortarColour, m);
            px[3 * i] = c.r;
            px[3 * i + 1] = c.g;
            px[3 * i + 2] = c.b;
        }
    }

    void tableRow(float y, float cover, float* px) const {
        const float two = 2 * std::numbers::pi_v<float>;
        const float grain = 1 + 0.12f * attenuation(0.013f, sFg_) * std::cos(two * y / 0.013f) +
                            0.06f * attenuation(0.0047f, sFg_) * std::cos(two * y / 0.0047f + 1.3f);
        const Rgb c = scaled(kWood, grain * (1 - 0.3f * (y - kTableTop) / 0.22f));
        for (int i = 0; i < n_; ++i)
            over(px + 3 * i, c, cover);
    }

    void chartRow(float y, float* px) const {
        const float board = band(y, kBoardT, kBoardB, sFg_);
        if (board <= 0)
            return;
        float patchY[3];
        for (int r = 0; r < 3; ++r) {
            const float a = kPatchY0 + r * kPatchPitch;
            patchY[r] = band(y, a, a + kPatch, sFg_);
        }
        const float m = 3 * sFg_;
        const auto [i0, i1] = span(kBoardL - m, kBoardR + m);
        for (int i = i0; i < i1; ++i) {
            float* p = px + 3 * i;
            over(p, kBoard, boardX_[i] * board);
            for (int r = 0; r < 3; ++r) {
                for (int c = 0; c < 4; ++c) {
                    const float a = patchX_[c][i] * patchY[r];
                    if (a <= 0)
                        continue;
                    p[0] += a * (kPatches[r][c].r - kBoard.r);
                    p[1] += a * (kPatches[r][c].g - kBoard.g);
                    p[2] += a * (kPatches[r][c].b - kBoard.b);
                }
            }
        }
    }

    void vaseRow(float y, float* px) const {
        const float m = 3 * sFg_, dy = (y - kVaseY) / kVaseRy;
        const float neck = band(y, kNeckT, kNeckB, sFg_);
        if (y < kNeckT - m || y > kVaseY + kVaseRy + m)
            return;
        const auto [i0, i1] = span(kVaseX - kVaseRx - m, kVaseX + kVaseRx + m);
        for (int i = i0; i < i1; ++i) {
            const float dx = (xs_[i] - kVaseX) / kVaseRx;
            const float body = ramp((1 - std::sqrt(dx * dx + dy * dy)) * kVaseRx, sFg_);
            const float cover = std::max(body, neck * band(xs_[i], kNeckL, kNeckR, sFg_));
            if (cover <= 0)
                continue;
            const float shade = std::max(0.35f, 1 - 0.5f * dx * dx);
            over(px + 3 * i, scaled(mix(kVaseBlue, kVaseWhite, stripes_[i]), shade), cover);
        }
    }

    void discRow(float y, float* px, float cx, float cy, float r, Rgb colour, float s) const {
        const float m = 3 * s, dy = y - cy;
        if (std::abs(dy) > r + m)
            return;
        const auto [i0, i1] = span(cx - r - m, cx + r + m);
        for (int i = i0; i < i1; ++i) {
            const float dx = xs_[i] - cx, d2 = (dx * dx + dy * dy) / (r * r);
            const float cover = ramp(r - std::sqrt(dx * dx + dy * dy), s);
            if (cover > 0)
                over(px + 3 * i, scaled(colour, std::max(0.4f, 1 - 0.45f * d2)), cover);
        }
    }

    int w_, h_, x0_, n_;
    float sBg_ = 0, sFg_ = 0;  // blur of the wall and of the subject, scene units
    std::array<float, 3> gain_{};
    bool mono_ = false, solarise_ = false;
    int saturation_ = 256;  // 256 = unchanged
    float lampX_ = 0;
    std::vector<float> xs_;
    // Per row parity: brick left of the nearest joint; the frame spans at
    // most kMaxBricks of them from brickMin_.
    static constexpr int kMaxBricks = int(1 / kBrickW) + 3;
    std::array<std::vector<int>, 2> brickLeft_;
    int brickMin_ = std::numeric_limits<int>::max();
    std::array<std::vector<float>, 2> brickNext_, mortarX_;
    std::vector<float> grainX_, stripes_, boardX_;
    std::array<std::vector<float>, 4> patchX_;
};

// ---- JPEG -------------------------------------------------------------------
struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void onJpegError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

// Encodes the rows of `renderer` (with `change` applied) into a buffer that
// libjpeg allocates; the caller frees *out. False on a libjpeg error. Only
// trivially destructible objects live here, as libjpeg's errors longjmp out.
bool encode(const Renderer& renderer, int width, int height, int quality, const Rect* change,
            float* scratch, uint8_t* row, unsigned char** out, unsigned long* size) {
    jpeg_compress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = onJpegError;
    if (setjmp(error.jump)) {
        jpeg_destroy_compress(&info);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, out, size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    for (int y = 0; y < height; ++y) {
        renderer.displayRow(y, scratch, row);
        if (change && y >= change->y && y < change->y + change->height) {
            for (int i = 3 * change->x; i < 3 * (change->x + change->width); ++i)
                row[i] ^= 0x80;
        }
        JSAMPROW rows[1] = {row};
        jpeg_write_scanlines(&info, rows, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return true;
}

}  // namespace

// ---- public functions ---------------------------------------------------------
SceneSettings settingsFromParameters(std::span<const int32_t> p) {
    SceneSettings s;
    auto at = [&](size_t i, int32_t fallback) { return i < p.size() ? p[i] : fallback; };
    s.exposureProgram = at(0, s.exposureProgram);
    s.whiteBalance = static_cast<uint32_t>(at(2, int32_t(s.whiteBalance)));
    s.sensitivity = at(7, s.sensitivity);
    s.shutterCode = at(8, s.shutterCode);
    s.apertureCode = at(9, s.apertureCode);
    s.exposureCompensation = at(15, s.exposureCompensation);
    s.colourMode = at(29, s.colourMode);
    s.aperturePreview = at(87, 0) != 0;
    s.focusDistanceMm = at(10, 0) == 0 ? kSubjectDistanceMm : at(27, 0);
    return s;
}

ExposureReading exposureReading(const SceneSettings& s) {
    static constexpr double kIso[] = {100, 200, 400, 800, 100, 64};
    const double iso = s.sensitivity >= 0 && s.sensitivity < 6 ? kIso[s.sensitivity] : 100;
    const double needed = kSceneEv100 + std::log2(iso / 100);  // Av + Tv for a correct exposure
    const double comp = (std::clamp(s.exposureCompensation, 0, 12) - 6) / 3.0;
    const double wanted = needed - comp;
    double av = std::clamp((s.apertureCode - 8) / 8.0, kAvMin, kAvMax);
    double tv = std::clamp((s.shutterCode - 48) / 8.0, kTvMin, kTvMax);
    switch (s.exposureProgram) {
        case 3:  // manual: the photographer's settings, shifted by the compensation
            break;
        case 1:
            tv = std::clamp(wanted - av, kTvMin, kTvMax);
            break;
        case 2:
            av = std::clamp(wanted - tv, kAvMin, kAvMax);
            break;
        default:  // program line: half of the excess over EV 2 to each
            av = std::clamp((wanted - 2) / 2, kAvMin, kAvMax);
            tv = std::clamp(wanted - av, kTvMin, kTvMax);
            break;
    }
    ExposureReading r;
    r.stops = needed - av - tv + (s.exposureProgram == 3 ? comp : 0);
    const double miss = wanted - av - tv;
    if (s.exposureProgram != 3 && std::abs(miss) > 1 / 6.0)
        r.autoRangeExceeded = miss > 0 ? 1 : -1;
    r.shutterCode = int(std::lround(tv * 8 + 48));
    r.apertureCode = int(std::lround(av * 8 + 8));
    return r;
}

double meanLuma(const SceneSettings& settings) {
    constexpr int kW = 128, kH = 96;
    const Renderer renderer(kW, kH, 0, kW, settings, 0, false);
    std::vector<float> scratch(3 * kW);
    std::vector<uint8_t> row(3 * kW);
    double sum = 0;
    for (int y = 0; y < kH; ++y) {
        renderer.displayRow(y, scratch.data(), row.data());
        for (int i = 0; i < kW; ++i)
            sum += 0.299 * row[3 * i] + 0.587 * row[3 * i + 1] + 0.114 * row[3 * i + 2];
    }
    return sum / (kW * kH);
}

uint32_t exposureWarnings(const SceneSettings& settings) {
    const double luma = meanLuma(settings);
    const int range = exposureReading(settings).autoRangeExceeded;
    return (luma > kOverexposedLuma ? 1u : 0u) | (luma < kUnderexposedLuma ? 2u : 0u) |
           (range > 0 ? 4u : 0u) | (range < 0 ? 8u : 0u);
}

PointWbGains pointGains(int x, int y) {
    x = std::clamp(x, 0, kCameraFrameWidth - 1);
    y = std::clamp(y, 0, kCameraFrameHeight - 1);
    const Renderer renderer(kCameraFrameWidth, kCameraFrameHeight, x, x + 1, SceneSettings{}, 0,
                            true);
    float rho[3];
    renderer.linearRow(y, rho);
    const Rgb e = illuminant();
    auto gain = [&](float channel, float light) {
        const double g = 256.0 * std::max(rho[1], 1e-4f) / (std::max(channel, 1e-4f) * light);
        return static_cast<uint16_t>(std::clamp(std::lround(g), 1L, 65535L));
    };
    return {gain(rho[0], e.r), gain(rho[2], e.b), 256};
}

FramePoint greyPatchCentre() {
    const float x = kPatchX0 + kGreyColumn * kPatchPitch + kPatch / 2;
    const float y = kPatchY0 + kGreyRow * kPatchPitch + kPatch / 2;
    return {int(x * kCameraFrameWidth),
            int((y - 0.375f) * kCameraFrameWidth + kCameraFrameHeight / 2.f)};
}

std::vector<uint8_t> Scene::renderJpeg(int width, int height, const SceneSettings& settings,
                                       double seconds, int quality) const {
    if (width < 1 || height < 1 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
        return {};
    }
    std::optional<Rect> change = this->change();
    if (change) {  // clip to the frame (in 64 bits: the rectangle is the caller's)
        auto clip = [](int64_t from, int64_t length, int64_t limit) {
            const int64_t a = std::clamp<int64_t>(from, 0, limit);
            return std::pair{
                int(a),
                int(std::clamp<int64_t>(from + std::max<int64_t>(length, 0), a, limit) - a)};
        };
        const auto [x, w] = clip(change->x, change->width, width);
        const auto [y, h] = clip(change->y, change->height, height);
        change = Rect{x, y, w, h};
    }
    const Renderer renderer(width, height, 0, width, settings, seconds, false);
    std::vector<float> scratch(3 * size_t(width));
    std::vector<uint8_t> row(3 * size_t(width));
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = encode(renderer, width, height, std::clamp(quality, 1, 100),
                           change ? &*change : nullptr, scratch.data(), row.data(), &buffer, &size);
    std::vector<uint8_t> jpeg;
    if (ok && buffer)
        jpeg.assign(buffer, buffer + size);
    std::free(buffer);
    return jpeg;
}

std::vector<uint8_t> Scene::renderRgb(int width, int height, const SceneSettings& settings,
                                      double seconds) const {
    if (width < 1 || height < 1 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
        return {};
    }
    const Renderer renderer(width, height, 0, width, settings, seconds, false);
    std::vector<float> scratch(3 * size_t(width));
    std::vector<uint8_t> rgb(3 * size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y)
        renderer.displayRow(y, scratch.data(), rgb.data() + 3 * size_t(width) * size_t(y));
    return rgb;
}

std::vector<Depth> depthMap(int width, int height) {
    if (width < 1 || height < 1 || width > JPEG_MAX_DIMENSION || height > JPEG_MAX_DIMENSION) {
        return {};
    }
    std::vector<Depth> map(size_t(width) * size_t(height));
    for (int y = 0; y < height; ++y) {
        // The renderer's scene coordinates of the pixel centres.
        const float sy = 0.375f + (y + 0.5f - height / 2.f) / width;
        for (int x = 0; x < width; ++x) {
            const float sx = (x + 0.5f) / width;
            map[size_t(y) * size_t(width) + size_t(x)] =
                onSubject(sx, sy) ? Depth::Subject : Depth::Background;
        }
    }
    return map;
}

double blurPixels(int distanceMm, const SceneSettings& settings, int width) {
    return std::max(0.5, double(blurOf(distanceMm, settings)) * width);
}

std::vector<std::vector<uint8_t>> Scene::prerender(int width, int height,
                                                   const SceneSettings& settings, int count,
                                                   double stepSeconds) const {
    std::vector<std::vector<uint8_t>> frames;
    for (int i = 0; i < count; ++i) {
        frames.push_back(renderJpeg(width, height, settings, i * stepSeconds));
    }
    return frames;
}

void Scene::setChange(std::optional<Rect> rect) {
    std::lock_guard lock(mutex_);
    change_ = rect;
}

std::optional<Rect> Scene::change() const {
    std::lock_guard lock(mutex_);
    return change_;
}

}  // namespace orkasim
