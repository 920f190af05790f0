// Fuzz target: one frame from the camera through the live view's whole path,
// the one the window runs (DecodeShownFrame): the exact-size decode with its
// band analysis and turn and its focus peaking and clipping marks, and for a
// picture of another size the fitted decode, the analysis of the fitted
// picture and its turn; then the marks (drawn after, or painted on each band
// before its turn, as the window does when it records no video), the motion
// measure and the histogram drawing.
//
// The input is the frame's bytes. The preview size, the orientation and how
// the marks are drawn come from the input's length, so that every seed keeps
// its JPEG intact and the fuzzer still reaches every case by growing or
// shrinking the trailing bytes (libjpeg ignores what follows the end of the
// picture).
#include <cstddef>
#include <cstdint>

#include <QImage>

#include "Detection.h"
#include "FrameDecoder.h"
#include "Histogram.h"
#include "LiveAssist.h"
#include "LiveViewMath.h"

namespace {

struct PreviewSize {
    int w;
    int h;
};
constexpr PreviewSize kSizes[] = {{544, 408}, {320, 240}};
constexpr orka::Orientation kOrientations[] = {
    orka::Orientation::Normal, orka::Orientation::UpsideDown, orka::Orientation::Anticlockwise,
    orka::Orientation::Clockwise};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orka::FrameDecoder decoder;
    static orka::MotionDetector detector;
    static QImage work, shown, histogramImage(256, 100, QImage::Format_RGB32);

    const PreviewSize preview = kSizes[size % 2];
    const orka::Orientation orientation = kOrientations[(size / 2) % 4];
    detector.SetRectangle({preview.w / 4, preview.h / 4, preview.w / 2, preview.h / 2});

    static orka::LiveAssist assist;
    orka::AssistSettings settings = orka::AssistSettings::All();
    settings.clipStyle = size % 3 ? orka::ClipStyle::Zebra : orka::ClipStyle::Solid;
    assist.Start(settings, preview.w, preview.h);

    const bool paintMarks = (size / 8) % 2 != 0;
    orka::Histogram histogram;
    const auto result =
        orka::DecodeShownFrame(decoder, data, size, preview.w, preview.h, orientation, work, shown,
                               histogram, &detector, &assist, paintMarks);
    if (result.ok()) {
        if (assist.complete() && !paintMarks) {
            const orka::RowAddresses shownRows(shown);
            orka::DrawAssist(assist, orientation, shownRows.writableRows());
        }
        detector.DetectMotion();
        orka::DrawHistogram(histogram, histogramImage);
    }
    return 0;
}
