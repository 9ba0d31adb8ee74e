// JPEG pictures through libjpeg.
#include "fuzz_support.h"

#include "controls/jpegimage.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QImage image = DecodeJpeg(std::string(reinterpret_cast<const char*>(data), size));
    if (image.isNull()) return 0;
    FUZZ_CHECK(image.width() > 0 && image.height() > 0);
    FUZZ_CHECK(static_cast<unsigned long long>(image.width()) * image.height() <=
               64ull * 1024 * 1024);
    FUZZ_CHECK(image.format() == QImage::Format_Grayscale8 ||
               image.format() == QImage::Format_RGB888);
    return 0;
}
