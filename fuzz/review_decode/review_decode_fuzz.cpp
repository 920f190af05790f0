// Fuzz target: a saved picture through the review's whole path, as the
// review window runs it: the fit view at a scale chosen for a view, the full
// picture with its focus mask, clipping and histogram computed beside the
// decode, both turned, and the marks drawn on the 100 % band and on the fit
// view.
//
// The input is the file's bytes. The view size and the orientation come from
// the input's length, so that every seed keeps its JPEG intact and the fuzzer
// reaches every orientation and several views by growing or shrinking the
// trailing bytes (libjpeg ignores what follows the end of the picture).
#include <cstddef>
#include <cstdint>

#include "ReviewLoader.h"

namespace {

constexpr orka::Orientation kOrientations[] = {
    orka::Orientation::Normal, orka::Orientation::UpsideDown, orka::Orientation::Anticlockwise,
    orka::Orientation::Clockwise};
constexpr QSize kViews[] = {{1600, 1000}, {320, 240}, {7, 3}};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static orka::ReviewComposer composer;
    orka::ReviewRequest request;
    request.orientation = kOrientations[size % 4];
    request.view = kViews[(size / 4) % 3];
    request.assist.clipStyle = size % 2 ? orka::ClipStyle::Zebra : orka::ClipStyle::Solid;
    const orka::ReviewPicturePtr fit = composer.Compose(request, data, size);
    request.full = true;
    const orka::ReviewPicturePtr full = composer.Compose(request, data, size);
    if (!full->shown.isNull()) {
        const int h = full->shown.height();
        orka::MarkedRows(*full, h / 3, h / 3 + 40, true, true);
        if (!fit->shown.isNull()) {
            QImage marked = fit->shown;
            orka::MarkFitView(*full, true, true, marked);
        }
    }
    return 0;
}
