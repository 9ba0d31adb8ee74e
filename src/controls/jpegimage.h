// JPEG pictures through libjpeg: the welcome picture, previews and pictures inside pages.
#pragma once

#include <QImage>

#include <string>

// Decodes JPEG data; a null image when the data is not a JPEG the library can read.
QImage DecodeJpeg(const std::string& bytes);
// Reads the file through the platform and decodes it; a null image when it cannot be read.
QImage LoadJpegImage(const std::string& windowsPath);
