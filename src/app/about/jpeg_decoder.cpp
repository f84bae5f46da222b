#include "app/about/jpeg_decoder.h"

#include "text/error.h"

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE and size_t declared first
#include <cstring>
#include <string>

#include <jpeglib.h>

namespace vellumax {
namespace {

// libjpeg's own error handler ends the process. This one jumps back to the
// decoding function with the message instead. Only C frames of libjpeg lie
// between the setjmp and the longjmp, so no destructor is skipped.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void failDecoding(j_common_ptr cinfo)
{
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, errors->message);
    std::longjmp(errors->jump, 1);
}

// Level -1 is a warning about corrupt data (a truncated file, a bad marker):
// treated as a failure, so that a damaged picture is never shown half-grey.
// Trace messages (levels 0 and up) are dropped.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level < 0)
        failDecoding(cinfo);
}

void noOutput(j_common_ptr) {}

// Holds no C++ objects of its own: `image` belongs to the caller and is
// only assigned between libjpeg calls. Returns false with `message` set.
bool decodeInto(const unsigned char* data, std::size_t size, QImage* image, char* message)
{
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    cinfo.err = jpeg_std_error(&errors.pub);
    errors.pub.error_exit = failDecoding;
    errors.pub.emit_message = onMessage;
    errors.pub.output_message = noOutput;
    errors.message[0] = '\0';

    if (setjmp(errors.jump)) {
        std::strcpy(message, errors.message);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }

    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    cinfo.out_color_space = JCS_RGB;
    jpeg_calc_output_dimensions(&cinfo);
    if (static_cast<long long>(cinfo.output_width) * cinfo.output_height > kMaxJpegPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "picture too large (%u x %u)", cinfo.output_width,
                      cinfo.output_height);
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    jpeg_start_decompress(&cinfo);

    *image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                    QImage::Format_RGB888);
    if (image->isNull()) {
        std::strcpy(message, "out of memory");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = image->scanLine(static_cast<int>(cinfo.output_scanline));
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return true;
}

} // namespace

QImage decodeJpeg(const unsigned char* data, std::size_t size)
{
    QImage image;
    char message[JMSG_LENGTH_MAX];
    if (!decodeInto(data, size, &image, message))
        throw Error(std::string("JPEG picture: ") + message);
    return image;
}

} // namespace vellumax
