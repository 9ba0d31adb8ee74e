#include "controls/jpegimage.h"

#include "platform/win32.h"

#include <csetjmp>
#include <cstdio>
#include <memory>

#include <jpeglib.h>

namespace {

// Pictures beyond this are refused rather than risking an allocation the machine cannot give.
constexpr unsigned long long kMaxPixels = 64ull * 1024 * 1024;

// libjpeg's default error handler ends the process; ours jumps back to the decoder instead.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

void failDecoding(j_common_ptr cinfo) {
    auto* errors = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(errors->jump, 1);
}

// Warnings about damaged data would go to stderr; a partly readable picture is still shown.
void ignoreMessage(j_common_ptr) {}

// Everything the jump back must find intact lives here, off the jumping function's stack.
struct Decoder {
    jpeg_decompress_struct cinfo;
    ErrorManager errors;
    QImage image;
};

inline uchar cmykToChannel(int ink, int black, bool inverted) {
    // Adobe writes CMYK inverted (255 = no ink), which is what nearly every CMYK JPEG is.
    if (inverted) return static_cast<uchar>(ink * black / 255);
    return static_cast<uchar>((255 - ink) * (255 - black) / 255);
}

void convertCmykLine(const JSAMPLE* source, uchar* target, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x) {
        const int black = source[4 * x + 3];
        target[3 * x] = cmykToChannel(source[4 * x], black, inverted);
        target[3 * x + 1] = cmykToChannel(source[4 * x + 1], black, inverted);
        target[3 * x + 2] = cmykToChannel(source[4 * x + 2], black, inverted);
    }
}

// Returns false when the picture cannot be held; errors in the data jump out instead.
bool readPicture(Decoder& d) {
    jpeg_decompress_struct& cinfo = d.cinfo;
    jpeg_read_header(&cinfo, TRUE);

    switch (cinfo.jpeg_color_space) {
    case JCS_GRAYSCALE:
        cinfo.out_color_space = JCS_GRAYSCALE;
        break;
    case JCS_CMYK:
    case JCS_YCCK:
        cinfo.out_color_space = JCS_CMYK;
        break;
    default:
        cinfo.out_color_space = JCS_RGB;
        break;
    }
    jpeg_calc_output_dimensions(&cinfo);
    const unsigned long long pixels =
        static_cast<unsigned long long>(cinfo.output_width) * cinfo.output_height;
    if (pixels == 0 || pixels > kMaxPixels) return false;

    const bool gray = cinfo.out_color_space == JCS_GRAYSCALE;
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    d.image = QImage(static_cast<int>(cinfo.output_width), static_cast<int>(cinfo.output_height),
                     gray ? QImage::Format_Grayscale8 : QImage::Format_RGB888);
    if (d.image.isNull()) return false;

    jpeg_start_decompress(&cinfo);
    // From libjpeg's own pool: a jump out of here must not skip a destructor.
    JSAMPARRAY cmykLine = nullptr;
    if (cmyk)
        cmykLine = (*cinfo.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&cinfo), JPOOL_IMAGE,
                                              cinfo.output_width * 4, 1);
    const bool inverted = cinfo.saw_Adobe_marker;
    while (cinfo.output_scanline < cinfo.output_height) {
        uchar* line = d.image.scanLine(static_cast<int>(cinfo.output_scanline));
        JSAMPROW row = cmyk ? cmykLine[0] : line;
        if (jpeg_read_scanlines(&cinfo, &row, 1) != 1) break;
        if (cmyk) convertCmykLine(cmykLine[0], line, cinfo.output_width, inverted);
    }
    jpeg_finish_decompress(&cinfo);
    return true;
}

} // namespace

QImage DecodeJpeg(const std::string& bytes) {
    if (bytes.empty()) return QImage();
    // Allocated before the jump target is set and never reassigned, so it survives a jump.
    const std::unique_ptr<Decoder> d(new Decoder());
    d->cinfo.err = jpeg_std_error(&d->errors.base);
    d->errors.base.error_exit = failDecoding;
    d->errors.base.output_message = ignoreMessage;
    if (setjmp(d->errors.jump)) {
        jpeg_destroy_decompress(&d->cinfo);
        return QImage();
    }
    jpeg_create_decompress(&d->cinfo);
    jpeg_mem_src(&d->cinfo, reinterpret_cast<const unsigned char*>(bytes.data()),
                 static_cast<unsigned long>(bytes.size()));
    const bool ok = readPicture(*d);
    jpeg_destroy_decompress(&d->cinfo);
    if (!ok) return QImage();
    return std::move(d->image);
}

QImage LoadJpegImage(const std::string& windowsPath) {
    std::string bytes;
    if (!ReadWholeFile(windowsPath, bytes)) return QImage();
    return DecodeJpeg(bytes);
}
