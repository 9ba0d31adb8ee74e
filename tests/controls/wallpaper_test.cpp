#include "controls/Wallpapr.h"

#include "support/application.h"

using testing_support::QtTest;

namespace {

int columns(const std::vector<QPoint>& tiles) {
    int count = 0;
    for (const QPoint& p : tiles)
        count += p.y() == tiles.front().y() ? 1 : 0;
    return count;
}

QImage render(TWallpaper& wallpaper) {
    return wallpaper.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(WallpaperTiles, CoverTheRectangleWithWholeTilesFromItsCorner) {
    const auto exact = WallpaperTilePositions(QRect(0, 0, 64, 96), QSize(32, 32));
    EXPECT_EQ((std::vector<QPoint>{{0, 0}, {32, 0}, {0, 32}, {32, 32}, {0, 64}, {32, 64}}), exact);
    // One pixel more than a multiple of the tile width: one more column.
    const auto wider = WallpaperTilePositions(QRect(0, 0, 65, 32), QSize(32, 32));
    EXPECT_EQ(3, columns(wider));
    EXPECT_EQ(QPoint(64, 0), wider.back());
    // A tile larger than the control is drawn once.
    EXPECT_EQ((std::vector<QPoint>{{5, 7}}),
              WallpaperTilePositions(QRect(5, 7, 20, 20), QSize(64, 64)));
    EXPECT_TRUE(WallpaperTilePositions(QRect(0, 0, 50, 50), QSize(0, 10)).empty());
    EXPECT_TRUE(WallpaperTilePositions(QRect(0, 0, 0, 50), QSize(10, 10)).empty());
}

using WallpaperPaint = QtTest;

TEST_F(WallpaperPaint, EmptyWallpaperPaintsWhite) {
    TWallpaper wallpaper;
    wallpaper.resize(30, 20);
    const QImage picture = render(wallpaper);
    for (QPoint p : {QPoint(0, 0), QPoint(29, 19), QPoint(15, 10)})
        EXPECT_EQ(qRgb(255, 255, 255), picture.pixel(p));
}

TEST_F(WallpaperPaint, RepeatsTheBitmapAndClipsTheLastTiles) {
    // A 10 x 10 tile: left half red, right half blue.
    QImage tile(10, 10, QImage::Format_RGB32);
    tile.fill(QColor(255, 0, 0));
    for (int y = 0; y < 10; ++y)
        for (int x = 5; x < 10; ++x)
            tile.setPixel(x, y, qRgb(0, 0, 255));
    TWallpaper wallpaper;
    wallpaper.resize(23, 12);
    wallpaper.setWallpaper(tile);
    tile.fill(Qt::black); // the control keeps its own copy
    EXPECT_EQ(QSize(10, 10), wallpaper.Wallpaper().size());
    const QImage picture = render(wallpaper);
    EXPECT_EQ(qRgb(255, 0, 0), picture.pixel(10, 0));
    EXPECT_EQ(qRgb(0, 0, 255), picture.pixel(15, 0));
    EXPECT_EQ(qRgb(255, 0, 0), picture.pixel(22, 11)); // clipped third column and second row
    EXPECT_EQ(qRgb(0, 0, 255), picture.pixel(9, 10));

    wallpaper.setWallpaper(QImage());
    EXPECT_EQ(qRgb(255, 255, 255), render(wallpaper).pixel(15, 0));
}
