#include "shell/JpegPicture.h"

// clang-format off
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace {

// libjpeg's default error handler ends the process; this one jumps back to the decoder.
struct JpegErrorManager
{
    jpeg_error_mgr base;
    std::jmp_buf jumpBuffer;
};

void JumpOnError(j_common_ptr info)
{
    auto *manager = reinterpret_cast<JpegErrorManager *>(info->err);
    std::longjmp(manager->jumpBuffer, 1);
}

void IgnoreMessage(j_common_ptr) {}

// Decodes into `image`, which must be allocated by the caller after the header is read; kept
// free of objects with destructors because of the longjmp.
bool DecodeInto(jpeg_decompress_struct &info, JpegErrorManager &errors, const unsigned char *data,
                std::size_t size, QImage &image)
{
    info.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = JumpOnError;
    errors.base.output_message = IgnoreMessage;
    if (setjmp(errors.jumpBuffer)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, data, static_cast<unsigned long>(size));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB888);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(static_cast<int>(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage DecodeJpeg(const unsigned char *data, std::size_t size)
{
    if (!data || size == 0)
        return {};
    jpeg_decompress_struct info{};
    JpegErrorManager errors{};
    QImage image;
    if (!DecodeInto(info, errors, data, size, image))
        return {};
    return image;
}
