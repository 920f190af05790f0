// Decoding of the camera's JPEG frames (live view and after-view pictures)
// with libjpeg: one decompressor and one error manager kept for the whole
// session, fastest settings (fast integer inverse DCT, no fancy upsampling),
// three bytes per pixel in blue-green-red order, written straight into the
// caller's rows.
//
// Everything the camera sends is untrusted: a stream that libjpeg cannot
// decode, or decodes only with a warning (truncated data, a corrupt segment),
// is reported as corrupt, and the caller drops the frame.
#pragma once

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <memory>

namespace orka {

class TFrameDecoder {
  public:
    enum class Status {
        Ok,
        Corrupt,       // not decodable, or decoded with a warning
        SizeMismatch,  // a valid header of another size than asked; nothing written
        TooLarge,      // larger than MaxDimension either way; nothing written
    };
    struct Result {
        Status status = Status::Corrupt;
        int width = 0;  // the picture's size as its header gives it (0 when unread)
        int height = 0;
        bool ok() const { return status == Status::Ok; }
    };

    // Pictures larger than this either way are refused: the camera's own
    // frame is 3264 x 2448.
    static constexpr int MaxDimension = 4096;

    TFrameDecoder();
    ~TFrameDecoder();
    TFrameDecoder(const TFrameDecoder&) = delete;
    TFrameDecoder& operator=(const TFrameDecoder&) = delete;

    // Decodes a picture of exactly w x h pixels at full scale into h rows of
    // at least 3 w bytes each. On Corrupt the rows may hold part of the
    // picture: the caller must not show them.
    Result DecodeInto(const uint8_t* data, size_t size, uint8_t* const* rows, int w, int h);

    // Decodes a picture of any size into image (made Format_BGR888 of the
    // decoded size), reduced by libjpeg's 1/2, 1/4 or 1/8 scaling as far as
    // it stays at least minWidth x minHeight.
    Result DecodeFitting(const uint8_t* data, size_t size, int minWidth, int minHeight,
                         QImage& image);

    // libjpeg's text for the last failure, empty after a success.
    const char* LastError() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace orka
