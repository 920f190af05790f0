#include "jpeg.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace orkasim {

namespace {

// libjpeg reports fatal errors through error_exit, which must not return:
// jump back to the caller's set-up point instead of exiting the process.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void onError(j_common_ptr info) {
    std::longjmp(reinterpret_cast<ErrorManager*>(info->err)->jump, 1);
}

void silent(j_common_ptr, int) {}

}  // namespace

RgbImage decodeJpeg(const std::vector<uint8_t>& stream) {
    RgbImage image;
    if (stream.empty())
        return image;
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = onError;
    errors.base.emit_message = silent;
    if (setjmp(errors.jump)) {
        jpeg_destroy_decompress(&info);
        return RgbImage{};
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream.data(), static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    info.dct_method = JDCT_IFAST;
    jpeg_start_decompress(&info);
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.pixels.resize(static_cast<size_t>(image.width) * image.height * 3);
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            image.pixels.data() + static_cast<size_t>(info.output_scanline) * image.width * 3;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}

}  // namespace orkasim
