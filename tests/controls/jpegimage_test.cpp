#include "controls/jpegimage.h"
#include "support/pictures.h"
#include "support/platform_fixture.h"

using namespace testing_support;
using testing_support::PlatformTest;

using JpegImageTest = testing_support::PlatformTest;

TEST_F(JpegImageTest, ColourPictureKeepsSizeAndColours) {
    const QImage image = DecodeJpeg(encodeRgbJpeg(32, 16, Qt::red, Qt::blue));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(QSize(32, 16), image.size());
    EXPECT_TRUE(near(Qt::red, image.pixelColor(2, 8)));
    EXPECT_TRUE(near(Qt::blue, image.pixelColor(29, 8)));
}

TEST_F(JpegImageTest, GrayscaleAndAdobeCmykPictures) {
    const QImage gray = DecodeJpeg(encodeGrayJpeg(8, 8, 100));
    ASSERT_FALSE(gray.isNull());
    EXPECT_EQ(QImage::Format_Grayscale8, gray.format());
    EXPECT_NEAR(100, qGray(gray.pixel(4, 4)), 4);

    // Pure magenta plus yellow ink on white paper is red.
    const QImage cmyk = DecodeJpeg(encodeAdobeCmykJpeg(8, 8, 0, 255, 255, 0));
    ASSERT_FALSE(cmyk.isNull());
    EXPECT_TRUE(near(Qt::red, cmyk.pixelColor(4, 4))) << cmyk.pixelColor(4, 4).name().toStdString();
}

TEST_F(JpegImageTest, DamagedDataGivesNullPictureWithoutEndingTheProcess) {
    EXPECT_TRUE(DecodeJpeg("").isNull());
    EXPECT_TRUE(DecodeJpeg("not a picture at all").isNull());
    EXPECT_TRUE(DecodeJpeg(std::string("\xFF\xD8\xFF\xE0garbage follows", 18)).isNull());

    const std::string good = encodeRgbJpeg(64, 64, Qt::green, Qt::white);
    // Cut inside the header: no image in the data.
    EXPECT_TRUE(DecodeJpeg(good.substr(0, 40)).isNull());

    // A picture that claims to be 65000 x 65000 pixels is refused, not allocated.
    std::string huge = good;
    const auto frame = huge.find("\xFF\xC0");
    ASSERT_NE(std::string::npos, frame);
    huge[frame + 5] = huge[frame + 7] = static_cast<char>(0xFD);
    huge[frame + 6] = huge[frame + 8] = static_cast<char>(0xE8);
    EXPECT_TRUE(DecodeJpeg(huge).isNull());
}

TEST_F(JpegImageTest, PictureCutInsideItsScanStillShowsItsFullSize) {
    const std::string good = encodeRgbJpeg(64, 64, Qt::green, Qt::white);
    const auto scan = good.find("\xFF\xDA");
    ASSERT_NE(std::string::npos, scan);
    const QImage partial = DecodeJpeg(good.substr(0, scan + (good.size() - scan) / 2));
    ASSERT_FALSE(partial.isNull());
    EXPECT_EQ(QSize(64, 64), partial.size());
    EXPECT_TRUE(near(Qt::green, partial.pixelColor(3, 3)));
}

TEST_F(JpegImageTest, LoadJpegImageReadsAWindowsPathThroughThePlatform) {
    testing_support::writeHostFile(platform.hostPath("C:\\Users\\User\\Bild.jpg"),
                                   encodeRgbJpeg(10, 6, Qt::blue, Qt::blue));
    const QImage image = LoadJpegImage("c:\\users\\user\\bild.JPG");
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(QSize(10, 6), image.size());
    EXPECT_TRUE(LoadJpegImage("C:\\Users\\User\\missing.jpg").isNull());
    EXPECT_TRUE(LoadJpegImage("C:\\Users\\User").isNull());
}
