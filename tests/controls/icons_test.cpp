#include "platform/gui/gdi.h"
#include "platform/gui/icons.h"
#include "platform/win32.h"

#include "ani_bytes.h"
#include "support/application.h"

#include <QPainter>

using namespace ani_bytes;
using testing_support::QtTest;

namespace {

constexpr DWORD junkError = 0xDEADBEEF;

HICON iconFrom(std::string bits, BOOL icon = TRUE, DWORD version = ICON_RESOURCE_VERSION) {
    return CreateIconFromResource(reinterpret_cast<PBYTE>(bits.data()),
                                  static_cast<DWORD>(bits.size()), icon, version);
}

} // namespace

using IconResourceTest = QtTest;

TEST_F(IconResourceTest, DecodesEveryColourDepthWithItsMask) {
    const QRgb color = qRgb(200, 30, 90);
    for (int bitCount : {1, 4, 8, 24, 32}) {
        SCOPED_TRACE(bitCount);
        const int before = LiveIconCount();
        HICON icon = iconFrom(solidImage(color, bitCount));
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(before + 1, LiveIconCount());
        const QImage image = IconImage(icon);
        ASSERT_EQ(QSize(32, 32), image.size());
        EXPECT_EQ(QImage::Format_ARGB32, image.format());
        EXPECT_EQ(color | 0xFF000000u, image.pixel(5, 7));
        EXPECT_EQ(color | 0xFF000000u, image.pixel(31, 31));
        // The mask clears the top-left pixel only (32-bit pictures with alpha ignore it).
        if (bitCount != 32) {
            EXPECT_EQ(0, qAlpha(image.pixel(0, 0)));
        }
        EXPECT_EQ(255, qAlpha(image.pixel(1, 0)));
        EXPECT_TRUE(DestroyIcon(icon));
        EXPECT_EQ(before, LiveIconCount());
    }
}

TEST_F(IconResourceTest, RowsAreStoredBottomUpAndAlphaIsKept) {
    // 24-bit 2 x 2: bottom row red, top row blue.
    std::string bits = infoHeader(2, 2, 24, 0);
    bits += std::string{0, 0, char(255), 0, 0, char(255)} + std::string(2, '\0');
    bits += std::string{char(255), 0, 0, char(255), 0, 0} + std::string(2, '\0');
    bits += std::string(8, '\0');
    HICON icon = iconFrom(bits);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(qRgb(0, 0, 255), IconImage(icon).pixel(0, 0));
    EXPECT_EQ(qRgb(255, 0, 0), IconImage(icon).pixel(1, 1));
    DestroyIcon(icon);

    // 32-bit with partial alpha uses the alpha; all-zero alpha falls back to the mask.
    std::string translucent = infoHeader(1, 1, 32, 0) + std::string{10, 20, 30, char(128)} +
                              std::string{char(0x80), 0, 0, 0};
    icon = iconFrom(translucent);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(qRgba(30, 20, 10, 128), IconImage(icon).pixel(0, 0));
    DestroyIcon(icon);
    std::string oldStyle = infoHeader(2, 1, 32, 0) + std::string{10, 20, 30, 0, 1, 2, 3, 0} +
                           std::string{char(0x40), 0, 0, 0};
    icon = iconFrom(oldStyle);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(qRgb(30, 20, 10), IconImage(icon).pixel(0, 0));
    EXPECT_EQ(0, qAlpha(IconImage(icon).pixel(1, 0)));
    DestroyIcon(icon);
}

TEST_F(IconResourceTest, PaletteIndexBeyondTheUsedColoursIsBlack) {
    // Two palette entries used, the pixel names entry 5.
    std::string bits = infoHeader(1, 1, 4, 2) + std::string{1, 2, 3, 0, 4, 5, 6, 0} +
                       std::string{0x50, 0, 0, 0} + std::string(4, '\0');
    HICON icon = iconFrom(bits);
    ASSERT_NE(nullptr, icon);
    EXPECT_EQ(qRgb(0, 0, 0), IconImage(icon).pixel(0, 0));
    DestroyIcon(icon);
}

TEST_F(IconResourceTest, CursorDataStartWithTheHotSpot) {
    HICON cursor = iconFrom(le16(3) + le16(4) + solidImage(qRgb(1, 2, 3), 8), FALSE);
    ASSERT_NE(nullptr, cursor);
    EXPECT_EQ(qRgb(1, 2, 3), IconImage(cursor).pixel(10, 10));
    DestroyIcon(cursor);
}

TEST_F(IconResourceTest, RefusesBrokenDataWithoutReadingPastIt) {
    const std::string whole = solidImage(qRgb(1, 2, 3), 24);
    // Every cut short of the mask's end leaves no whole picture.
    for (std::size_t length :
         {std::size_t(1), std::size_t(39), std::size_t(40), std::size_t(1000), whole.size() - 1}) {
        SCOPED_TRACE(length);
        // A copy of exactly that length, so that a read past it is a real overrun.
        std::vector<BYTE> cut(whole.begin(), whole.begin() + length);
        SetLastError(junkError);
        EXPECT_EQ(nullptr, CreateIconFromResource(cut.data(), static_cast<DWORD>(cut.size()), TRUE,
                                                  ICON_RESOURCE_VERSION));
        EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
    }
    auto withField = [&](std::size_t at, const std::string& value) {
        std::string bits = whole;
        bits.replace(at, value.size(), value);
        return bits;
    };
    const std::string broken[] = {
        withField(4, le32(0)),          // no width
        withField(4, le32(0x7FFFFFFF)), // absurd width
        withField(8, le32(1)),          // a doubled height of 1 leaves no rows
        withField(12, le16(2)),         // two planes
        withField(14, le16(16)),        // a depth we do not read
        withField(16, le32(1)),         // compressed
        withField(0, le32(0xFFFFFFF0)), // a header longer than the data
        withField(32, le32(300)),       // a colour table longer than the data
    };
    for (const std::string& bits : broken) {
        SCOPED_TRACE(bits);
        SetLastError(junkError);
        EXPECT_EQ(nullptr, iconFrom(bits));
        EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
    }
    std::string tooManyColours = solidImage(qRgb(1, 2, 3), 4);
    tooManyColours.replace(32, 4, le32(17));
    SetLastError(junkError);
    EXPECT_EQ(nullptr, iconFrom(tooManyColours));
    EXPECT_EQ(ERROR_INVALID_DATA, GetLastError());
    SetLastError(junkError);
    EXPECT_EQ(nullptr, iconFrom(whole, TRUE, 0x00010000));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
    SetLastError(junkError);
    EXPECT_EQ(nullptr, CreateIconFromResource(nullptr, 100, TRUE, ICON_RESOURCE_VERSION));
    EXPECT_EQ(ERROR_INVALID_PARAMETER, GetLastError());
}

TEST_F(IconResourceTest, DestroyAndDrawRefuseDeadHandles) {
    HICON icon = iconFrom(solidImage(qRgb(9, 9, 9)));
    ASSERT_NE(nullptr, icon);
    EXPECT_TRUE(DestroyIcon(icon));
    SetLastError(junkError);
    EXPECT_FALSE(DestroyIcon(icon));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_TRUE(IconImage(icon).isNull());

    QImage target(40, 40, QImage::Format_ARGB32);
    target.fill(Qt::white);
    QPainter painter(&target);
    SetLastError(junkError);
    EXPECT_FALSE(DrawIcon(DeviceContextFor(painter), 0, 0, icon));
    EXPECT_EQ(ERROR_INVALID_HANDLE, GetLastError());
    EXPECT_FALSE(DrawIcon(nullptr, 0, 0, nullptr));
}

TEST_F(IconResourceTest, DrawIconPaintsAtItsOwnSizeWithTheMaskSeeThrough) {
    HICON icon = iconFrom(solidImage(qRgb(0, 128, 0)));
    ASSERT_NE(nullptr, icon);
    QImage target(40, 40, QImage::Format_ARGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        EXPECT_TRUE(DrawIcon(DeviceContextFor(painter), 4, 6, icon));
    }
    EXPECT_EQ(qRgb(255, 255, 255), target.pixel(4, 6)); // masked pixel
    EXPECT_EQ(qRgb(0, 128, 0), target.pixel(5, 6));
    EXPECT_EQ(qRgb(0, 128, 0), target.pixel(35, 37));
    EXPECT_EQ(qRgb(255, 255, 255), target.pixel(36, 37));
    EXPECT_EQ(qRgb(255, 255, 255), target.pixel(35, 38));
    DestroyIcon(icon);
}
