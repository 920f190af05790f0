// The simulated camera's scene, checked on the decoded JPEG frames as a
// photographer would look at them.
#include "scene.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <thread>

using namespace orkasim;

namespace {

struct Image {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* at(int x, int y) const { return &rgb[3 * (size_t(y) * width + x)]; }
    double luma(int x, int y) const {
        const uint8_t* p = at(x, y);
        return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
    }
    Rect all() const { return {0, 0, width, height}; }
};

struct DecodeError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

// Decodes a JPEG stream; width 0 when it is not one.
Image decode(const std::vector<uint8_t>& jpeg) {
    Image image;
    jpeg_decompress_struct info;
    DecodeError error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = [](j_common_ptr i) {
        std::longjmp(reinterpret_cast<DecodeError*>(i->err)->jump, 1);
    };
    if (setjmp(error.jump)) {
        jpeg_destroy_decompress(&info);
        return {};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, jpeg.data(), static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    image.rgb.resize(size_t(info.output_width) * info.output_height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = &image.rgb[size_t(info.output_scanline) * info.output_width * 3];
        jpeg_read_scanlines(&info, &row, 1);
    }
    image.width = int(info.output_width);
    image.height = int(info.output_height);
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

double meanChannel(const Image& img, Rect r, int channel) {
    double sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            sum += img.at(x, y)[channel];
    return sum / (double(r.width) * r.height);
}

double meanLuma(const Image& img, Rect r) {
    double sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            sum += img.luma(x, y);
    return sum / (double(r.width) * r.height);
}

// Mean squared horizontal luma gradient: falls as the picture blurs (the
// mean absolute gradient would not: a blurred edge climbs the same height).
double sharpness(const Image& img, Rect r) {
    double sum = 0;
    for (int y = r.y; y < r.y + r.height; ++y) {
        for (int x = r.x; x + 1 < r.x + r.width; ++x) {
            const double d = img.luma(x + 1, y) - img.luma(x, y);
            sum += d * d;
        }
    }
    return sum / (double(r.width - 1) * r.height);
}

constexpr int kW = 544, kH = 408;
// Regions of a 544 x 408 frame.
constexpr Rect kWallArea{20, 60, 500, 90};       // bricks only
constexpr Rect kSubjectArea{30, 185, 190, 135};  // the colour chart
// The grey patch, scaled from the camera frame.
Rect greyArea(int width) {
    const FramePoint g = greyPatchCentre();
    const double k = double(width) / kCameraFrameWidth;
    const int x = int(g.x * k), y = int(g.y * k), half = std::max(2, int(0.025 * width));
    return {x - half, y - half, 2 * half, 2 * half};
}

Image render(const SceneSettings& s, double seconds = 0) {
    return decode(Scene().renderJpeg(kW, kH, s, seconds));
}

// Manual exposure at F/5.6 and ISO 100.
SceneSettings manual(int shutterCode) {
    SceneSettings s;
    s.exposureProgram = 3;
    s.shutterCode = shutterCode;
    s.apertureCode = 48;
    s.sensitivity = 0;
    return s;
}

double redOverBlue(const Image& img, Rect r) {
    return meanChannel(img, r, 0) / meanChannel(img, r, 2);
}

}  // namespace

TEST(Scene, DecodesAtEveryFrameSizeAndRefusesImpossibleOnes) {
    const Scene scene;
    for (auto [w, h] : {std::pair{320, 240}, {544, 408}, {3264, 2176}, {3264, 2448}}) {
        const std::vector<uint8_t> jpeg = scene.renderJpeg(w, h, SceneSettings{}, 0);
        const Image img = decode(jpeg);
        EXPECT_EQ(img.width, w);
        EXPECT_EQ(img.height, h);
        ASSERT_GE(jpeg.size(), 4u);
        EXPECT_EQ(jpeg[0], 0xFF);
        EXPECT_EQ(jpeg[1], 0xD8);
        EXPECT_EQ(jpeg[jpeg.size() - 2], 0xFF);
        EXPECT_EQ(jpeg[jpeg.size() - 1], 0xD9);
    }
    EXPECT_TRUE(scene.renderJpeg(0, 240, SceneSettings{}, 0).empty());
    EXPECT_TRUE(scene.renderJpeg(320, -1, SceneSettings{}, 0).empty());
    EXPECT_TRUE(scene.renderJpeg(70000, 8, SceneSettings{}, 0).empty());
    EXPECT_EQ(decode(scene.renderJpeg(33, 17, SceneSettings{}, 0, 0)).width,
              33);  // quality clamped
    EXPECT_EQ(decode(scene.renderJpeg(33, 17, SceneSettings{}, 0, 500)).height, 17);
}

TEST(Scene, ExposureFollowsManualSettingsAndAutoExposureHoldsOtherwise) {
    // Manual: each slower shutter speed is brighter; the metering agrees with the picture.
    double previous = 0;
    for (int code : {128, 112, 104, 96, 80}) {  // 1/1000 ... 1/30 s at F/5.6, ISO 100
        const Image img = render(manual(code));
        const double luma = meanLuma(img, img.all());
        EXPECT_GT(luma, previous + 5) << "shutter code " << code;
        EXPECT_NEAR(luma, orkasim::meanLuma(manual(code)), 6) << "shutter code " << code;
        previous = luma;
    }
    // A correct manual exposure (EV 12) lands mid-scale, without warnings.
    EXPECT_EQ(exposureReading(manual(104)).stops, 0);
    EXPECT_EQ(exposureWarnings(manual(104)), 0u);
    EXPECT_EQ(exposureWarnings(manual(48)) & 1u, 1u);    // 1 s: overexposed
    EXPECT_EQ(exposureWarnings(manual(136)) & 2u, 2u);   // 1/2000 s at F/5.6: underexposed
    EXPECT_EQ(exposureWarnings(manual(136)) & 12u, 0u);  // no auto-exposure range in manual
    SceneSettings higherIso = manual(120);
    higherIso.sensitivity = 3;  // ISO 800: three stops more than ISO 100
    EXPECT_NEAR(exposureReading(higherIso).stops, exposureReading(manual(96)).stops, 1e-9);

    // Program and priorities: the shutter or aperture setting does not change the brightness.
    for (int program : {0, 1, 2}) {
        SceneSettings a, b;
        a.exposureProgram = b.exposureProgram = program;
        a.shutterCode = 96, b.shutterCode = 112;
        a.apertureCode = 40, b.apertureCode = 56;
        EXPECT_NEAR(orkasim::meanLuma(a), orkasim::meanLuma(b), 1) << "program " << program;
        EXPECT_EQ(exposureWarnings(a), 0u) << "program " << program;
    }
    // The codes in use follow the scene: aperture priority at F/8 needs 1/60 s.
    SceneSettings ap;
    ap.exposureProgram = 1;
    ap.apertureCode = 56;
    EXPECT_EQ(exposureReading(ap).apertureCode, 56);
    EXPECT_EQ(exposureReading(ap).shutterCode, 96);
    // Shutter priority at 30 s cannot stop down enough: overexposed, beyond the auto range.
    SceneSettings sp;
    sp.exposureProgram = 2;
    sp.shutterCode = 8;
    EXPECT_EQ(exposureReading(sp).autoRangeExceeded, 1);
    EXPECT_EQ(exposureReading(sp).apertureCode, 64);
    EXPECT_EQ(exposureWarnings(sp), 1u | 4u);
    sp.shutterCode = 136;  // 1/2000 s at an EV 12 scene needs more than F/2.8
    EXPECT_EQ(exposureReading(sp).autoRangeExceeded, -1);
    EXPECT_EQ(exposureWarnings(sp) & 8u, 8u);

    // Compensation brightens in every mode.
    for (SceneSettings s : {SceneSettings{}, manual(104)}) {
        const double base = orkasim::meanLuma(s);
        s.exposureCompensation = 9;  // +1 EV
        EXPECT_GT(orkasim::meanLuma(s), base + 15);
        s.exposureCompensation = 0;  // -2 EV
        EXPECT_LT(orkasim::meanLuma(s), base - 30);
    }
}

TEST(Scene, ColourModesChangeTheRendering) {
    const Image natural = render(SceneSettings{});
    SceneSettings s;
    s.colourMode = 1;
    const Image mono = render(s);
    double chroma = 0;
    for (size_t i = 0; i < mono.rgb.size(); i += 3)
        chroma +=
            std::abs(mono.rgb[i] - mono.rgb[i + 1]) + std::abs(mono.rgb[i + 2] - mono.rgb[i + 1]);
    EXPECT_LT(chroma / (mono.rgb.size() / 3), 1.0);
    EXPECT_NEAR(meanLuma(mono, mono.all()), meanLuma(natural, natural.all()), 4);

    s.colourMode = 3;
    const Image solar = render(s);
    double diff = 0;
    for (size_t i = 0; i < solar.rgb.size(); ++i)
        diff += std::abs(solar.rgb[i] - natural.rgb[i]);
    EXPECT_GT(diff / solar.rgb.size(), 30);

    // Saturated colours spread the channels of a colour patch further apart.
    s.colourMode = 2;
    const Image vivid = render(s);
    const Rect red{46, 198, 20, 20};  // inside the red patch
    auto spread = [&](const Image& img) {
        return meanChannel(img, red, 0) - meanChannel(img, red, 1);
    };
    EXPECT_GT(spread(vivid), spread(natural) + 10);
}

TEST(Scene, WhiteBalancePresetsTintTheGreyPatch) {
    const Rect grey = greyArea(kW);
    auto ratio = [&](uint32_t code) {
        SceneSettings s;
        s.whiteBalance = code;
        return redOverBlue(render(s), grey);
    };
    const double automatic = ratio(0x00800000), daylight = ratio(0x01800000);
    const double shade = ratio(0x06800000), tungsten = ratio(0x03800000);
    EXPECT_NEAR(automatic, 1.0, 0.04);
    EXPECT_GT(shade, daylight + 0.05);
    EXPECT_GT(daylight, automatic);  // the scene's light is a little warmer than 5500 K
    EXPECT_LT(tungsten, automatic - 0.3);
    EXPECT_NEAR(ratio(0x12345678), automatic, 1e-9);  // unknown code: automatic

    // Custom: the gains measured on the grey patch make it neutral again; the
    // custom preset without gains yet behaves as daylight.
    SceneSettings custom;
    custom.whiteBalance = 0x07800000;
    EXPECT_NEAR(redOverBlue(render(custom), grey), daylight, 1e-9);
    const PointWbGains g = pointGains(greyPatchCentre().x, greyPatchCentre().y);
    custom.customGainFirst = g.p1;
    custom.customGainSecond = g.p2;
    EXPECT_NEAR(redOverBlue(render(custom), grey), 1.0, 0.04);
}

TEST(WhiteBalance, PointGainsReadAsTheScenesLightThroughTheGainModel) {
    // The gain model, written here from its formulas.
    const auto& p = kPresetWbGains;
    EXPECT_LT(p.d1, 1024);
    EXPECT_LT(p.t1, 1024);
    EXPECT_GT(double(p.d1) / p.d2, double(p.t1) / p.t2);  // warm light needs less red gain
    const double rd = std::log(double(p.d1) / p.d2), rt = std::log(double(p.t1) / p.t2);
    const double k1 = (1 / 5500.0 - 1 / 2800.0) / (rt - rd), c1 = 1 / 5500.0 + k1 * rd;
    const double qd = std::log(p.d1 / 256.0), qt = std::log(p.t1 / 256.0);
    const double k2 = ((1 / 5500.0 - 0.000015) - (1 / 2800.0 + 0.000025)) / (qt - qd);
    const double c2 = (1 / 5500.0 - 0.000015) + k2 * qd;
    auto reading = [&](PointWbGains g) {
        const double u = c1 - k1 * std::log(double(g.p1) / g.p2);
        const double w = (u - (c2 - k2 * std::log(double(g.p1) / g.p3))) * 1e6;
        return std::pair{1 / u, w > 0 ? w / 3.49 : w / 2.13};
    };

    const FramePoint grey = greyPatchCentre();
    const auto [kelvin, cc] = reading(pointGains(grey.x, grey.y));
    EXPECT_NEAR(kelvin, kSceneTemperature, 30);
    EXPECT_NEAR(cc, 0, 1);
    // The whole grey patch measures alike; the red patch reads far warmer.
    EXPECT_NEAR(reading(pointGains(grey.x + 80, grey.y - 80)).first, kSceneTemperature, 30);
    const auto red = reading(pointGains(334, 1250));  // centre of the red patch
    EXPECT_LT(red.first, 2500);

    // Every point gives usable gains, points outside the frame are clamped.
    for (int y = -10; y <= 2460; y += 245) {
        for (int x = -10; x <= 3270; x += 327) {
            const PointWbGains g = pointGains(x, y);
            EXPECT_GT(g.p1, 0);
            EXPECT_GT(g.p2, 0);
            EXPECT_EQ(g.p3, 256);
        }
    }
}

TEST(Scene, ManualFocusBlursWhatIsAwayFromTheFocusDistance) {
    auto focused = [](int mm) {
        SceneSettings s;
        s.focusDistanceMm = mm;
        return render(s);
    };
    const Image onSubject = focused(kSubjectDistanceMm), nearer = focused(1000);
    const Image slightly = focused(2500), infinity = focused(0),
                onWall = focused(kBackgroundDistanceMm);
    const double sharp = sharpness(onSubject, kSubjectArea);
    EXPECT_GT(sharp, 1.3 * sharpness(slightly, kSubjectArea));
    EXPECT_GT(sharpness(slightly, kSubjectArea), 1.3 * sharpness(nearer, kSubjectArea));
    EXPECT_GT(sharp, 1.5 * sharpness(infinity, kSubjectArea));
    EXPECT_GT(sharpness(onWall, kWallArea), 1.5 * sharpness(onSubject, kWallArea));

    // From the parameter table: autofocus keeps the subject sharp, manual
    // focus takes parameter 27.
    std::vector<int32_t> table(90, 0);
    table[27] = 700;
    EXPECT_EQ(settingsFromParameters(table).focusDistanceMm, kSubjectDistanceMm);
    table[10] = 1;
    EXPECT_EQ(settingsFromParameters(table).focusDistanceMm, 700);
}

TEST(Scene, AperturePreviewDeepensTheDepthOfField) {
    SceneSettings open, preview;
    open.exposureProgram = preview.exposureProgram = 1;  // aperture priority
    open.apertureCode = preview.apertureCode = 64;       // F/11
    preview.aperturePreview = true;
    const Image a = render(open), b = render(preview);
    EXPECT_GT(sharpness(b, kWallArea), 1.5 * sharpness(a, kWallArea));
    EXPECT_NEAR(meanLuma(a, a.all()), meanLuma(b, b.all()), 1);  // brightness unchanged
    // Without the preview the live view looks through the open lens: the
    // aperture setting does not show.
    SceneSettings other = open;
    other.apertureCode = 33;
    EXPECT_EQ(Scene().renderJpeg(kW, kH, open, 0), Scene().renderJpeg(kW, kH, other, 0));
    preview.apertureCode = 33;
    EXPECT_LT(sharpness(render(preview), kWallArea), 0.8 * sharpness(b, kWallArea));
}

TEST(Scene, ChangeRectangleChangesItsInsideOnly) {
    Scene scene;
    const Image before = decode(scene.renderJpeg(kW, kH, SceneSettings{}, 1));
    const Rect r{200, 100, 60, 40};
    scene.setChange(r);
    const Image after = decode(scene.renderJpeg(kW, kH, SceneSettings{}, 1));
    double inside = 0;
    for (int y = r.y; y < r.y + r.height; ++y)
        for (int x = r.x; x < r.x + r.width; ++x)
            inside += std::abs(after.luma(x, y) - before.luma(x, y));
    EXPECT_GT(inside / (r.width * r.height), 60);
    // JPEG codes 16 x 16 blocks independently: beyond the blocks the
    // rectangle touches (and the two pixels the decoder's chroma
    // interpolation reaches), nothing moves at all.
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            const bool near = x >= r.x / 16 * 16 - 2 && x < (r.x + r.width + 15) / 16 * 16 + 2 &&
                              y >= r.y / 16 * 16 - 2 && y < (r.y + r.height + 15) / 16 * 16 + 2;
            if (!near) {
                ASSERT_EQ(after.luma(x, y), before.luma(x, y)) << x << "," << y;
            }
        }
    }
    // A rectangle reaching past the frame is clipped; clearing restores the frame.
    scene.setChange(Rect{kW - 10, kH - 10, 1 << 30, 1 << 30});
    const Image corner = decode(scene.renderJpeg(kW, kH, SceneSettings{}, 1));
    EXPECT_GT(std::abs(corner.luma(kW - 5, kH - 5) - before.luma(kW - 5, kH - 5)), 40);
    scene.setChange(Rect{-5, -5, 2, 2});  // wholly outside: no change
    EXPECT_EQ(decode(scene.renderJpeg(kW, kH, SceneSettings{}, 1)).rgb, before.rgb);
    scene.setChange(std::nullopt);
    EXPECT_FALSE(scene.change());
    EXPECT_EQ(decode(scene.renderJpeg(kW, kH, SceneSettings{}, 1)).rgb, before.rgb);
}

// Centre of the lamp: the brightest pixels of the upper part of the frame.
std::pair<double, double> lampCentre(const Image& img) {
    double sx = 0, sy = 0, n = 0;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < img.width; ++x)
            if (img.luma(x, y) > 230)
                sx += x, sy += y, n += 1;
    return {n ? sx / n : -1, n ? sy / n : -1};
}

TEST(Scene, LampMovesSlowlyAlongTheWall) {
    const Scene scene;
    EXPECT_EQ(scene.renderJpeg(kW, kH, SceneSettings{}, 3),
              scene.renderJpeg(kW, kH, SceneSettings{}, 3));
    const Image t0 = render(SceneSettings{}, 0), t5 = render(SceneSettings{}, 5);
    for (int y = 120; y < kH; ++y)  // nothing else moves
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(t0.luma(x, y), t5.luma(x, y)) << x << "," << y;
    const auto [x0, y0] = lampCentre(t0);
    const auto [x5, y5] = lampCentre(t5);
    const auto [x01, y01] = lampCentre(render(SceneSettings{}, 0.1));
    ASSERT_GE(x0, 0);
    EXPECT_GT(std::abs(x5 - x0), 60);  // a tenth of the frame in 5 s
    EXPECT_NEAR(y5, y0, 1);
    EXPECT_LT(std::abs(x01 - x0), 3);  // slow: a few pixels in a tenth of a second
    EXPECT_NEAR(lampCentre(render(SceneSettings{}, 40)).first, x0, 1);  // and back in 40 s
}

TEST(Scene, PrerenderedFramesLoopThroughTheMotion) {
    const std::vector<std::vector<uint8_t>> frames =
        Scene().prerender(320, 240, SceneSettings{}, 4, 2.0);
    ASSERT_EQ(frames.size(), 4u);
    for (const auto& f : frames)
        EXPECT_EQ(decode(f).width, 320);
    EXPECT_NE(frames.front(), frames.back());
    EXPECT_TRUE(Scene().prerender(320, 240, SceneSettings{}, 0).empty());
}

TEST(Scene, ChangeMayBeSetWhileAnotherThreadRenders) {
    Scene scene;
    std::atomic<bool> stop{false};
    std::thread toggler([&] {
        for (int i = 0; !stop; ++i)
            scene.setChange(i % 2 ? std::optional<Rect>{} : Rect{10, 10, 30, 30});
    });
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(decode(scene.renderJpeg(160, 120, SceneSettings{}, i)).width, 160);
    stop = true;
    toggler.join();
}
