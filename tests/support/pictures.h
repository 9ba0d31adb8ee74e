// Pictures made with libjpeg and by hand for the tests, and a mouse click on a link.
#pragma once

#include <QColor>

#include <string>

class QTextBrowser;

namespace testing_support {

// A width x height JPEG whose left half is `left` and right half `right`.
std::string encodeRgbJpeg(int width, int height, QColor left, QColor right);
std::string encodeGrayJpeg(int width, int height, int level);
// CMYK stored inverted with an Adobe marker, as Adobe software writes it.
std::string encodeAdobeCmykJpeg(int width, int height, int c, int m, int y, int k);

// A 1 x 1 GIF of the given colour.
std::string onePixelGif(QColor colour);

// Clicks the first link whose text is `text`, as a user would with the mouse.
bool clickLink(QTextBrowser* view, const QString& text);

bool near(QColor a, QColor b, int tolerance = 40);

} // namespace testing_support
