#include "support/pictures.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace testing_support {

namespace {

// Compresses rows of `components` bytes per pixel in the given colour space.
std::string compress(int width, int height, int components, J_COLOR_SPACE space,
                     const std::vector<unsigned char>& pixels) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    if (space == JCS_CMYK) jpeg_set_colorspace(&cinfo, JCS_CMYK);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(pixels.data()) +
                       static_cast<std::size_t>(cinfo.next_scanline) * width * components;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string out(reinterpret_cast<const char*>(buffer), size);
    std::free(buffer);
    return out;
}

} // namespace

std::string encodeRgbJpeg(int width, int height, QColor left, QColor right) {
    std::vector<unsigned char> pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QColor c = x < width / 2 ? left : right;
            pixels.push_back(static_cast<unsigned char>(c.red()));
            pixels.push_back(static_cast<unsigned char>(c.green()));
            pixels.push_back(static_cast<unsigned char>(c.blue()));
        }
    return compress(width, height, 3, JCS_RGB, pixels);
}

std::string encodeGrayJpeg(int width, int height, int level) {
    std::vector<unsigned char> pixels(static_cast<std::size_t>(width) * height,
                                      static_cast<unsigned char>(level));
    return compress(width, height, 1, JCS_GRAYSCALE, pixels);
}

std::string encodeAdobeCmykJpeg(int width, int height, int c, int m, int y, int k) {
    std::vector<unsigned char> pixels;
    for (int i = 0; i < width * height; ++i)
        for (int ink : {c, m, y, k})
            pixels.push_back(static_cast<unsigned char>(255 - ink));
    return compress(width, height, 4, JCS_CMYK, pixels);
}

std::string onePixelGif(QColor colour) {
    std::string gif("GIF89a\x01\x00\x01\x00\x80\x00\x00", 13);
    gif += static_cast<char>(colour.red());
    gif += static_cast<char>(colour.green());
    gif += static_cast<char>(colour.blue());
    gif += std::string("\x00\x00\x00", 3);
    // One image of one pixel holding colour index 0.
    gif += std::string(",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;", 16);
    return gif;
}

bool clickLink(QTextBrowser* view, const QString& text) {
    const QTextCursor found = view->document()->find(text);
    if (found.isNull()) return false;
    QTextCursor inside(view->document());
    inside.setPosition(found.selectionStart() + 1);
    const QPointF at = view->cursorRect(inside).center();
    const QPointF global = view->viewport()->mapToGlobal(at);
    QMouseEvent press(QEvent::MouseButtonPress, at, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &press);
    QApplication::sendEvent(view->viewport(), &release);
    return true;
}

bool near(QColor a, QColor b, int tolerance) {
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}

} // namespace testing_support
