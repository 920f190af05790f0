// Live view: GetLVFrame answers with the readings and one JPEG frame.
#include "camera_impl.h"
#include "jpeg.h"

namespace orkasim {

using namespace wire;

namespace {

std::vector<uint8_t> greyFrame(int width, int height) {
    RgbImage image{width, height,
                   std::vector<uint8_t>(static_cast<size_t>(width) * height * 3, 128)};
    return encodeJpeg(image, 85);
}

}  // namespace

Response Camera::Impl::liveViewFrameLocked() {
    const int width = session.liveViewMode == 1 ? 544 : 320;
    const int height = session.liveViewMode == 1 ? 408 : 240;
    static const std::vector<uint8_t> small = greyFrame(320, 240);
    static const std::vector<uint8_t> large = greyFrame(544, 408);
    const std::vector<uint8_t>& frame = session.liveViewMode == 1 ? large : small;
    Response response;
    std::vector<uint8_t>& body = response.body;
    body.reserve(26 + frame.size());
    put16(body, 0);
    put16(body, static_cast<uint16_t>(width));
    put16(body, static_cast<uint16_t>(height));
    put32(body, static_cast<uint32_t>(params.value(kPShutter)));
    put32(body, static_cast<uint32_t>(params.value(kPAperture)));
    put32(body, static_cast<uint32_t>(params.value(kPBattery)));
    put32(body, static_cast<uint32_t>(params.value(kPFrameReading)));
    put32(body, static_cast<uint32_t>(frame.size()));
    body.insert(body.end(), frame.begin(), frame.end());
    return response;
}

}  // namespace orkasim
