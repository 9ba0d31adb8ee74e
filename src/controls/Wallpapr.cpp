#include "controls/Wallpapr.h"

#include <QPainter>

std::vector<QPoint> WallpaperTilePositions(const QRect& client, const QSize& tileSize) {
    std::vector<QPoint> positions;
    const int w = tileSize.width();
    const int h = tileSize.height();
    if (w <= 0 || h <= 0 || client.width() <= 0 || client.height() <= 0) return positions;
    const int columns = (client.width() + w - 1) / w;
    const int rows = (client.height() + h - 1) / h;
    positions.reserve(static_cast<std::size_t>(columns) * static_cast<std::size_t>(rows));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            positions.emplace_back(client.left() + c * w, client.top() + r * h);
    }
    return positions;
}

TWallpaper::TWallpaper(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TWallpaper::setWallpaper(const QImage& wallpaper) {
    wallpaper_ = wallpaper.copy();
    update();
}

void TWallpaper::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // An opaque control must cover every pixel itself, also under see-through tiles.
    if (wallpaper_.isNull() || wallpaper_.hasAlphaChannel()) painter.fillRect(rect(), Qt::white);
    if (wallpaper_.isNull()) return;
    for (const QPoint& position : WallpaperTilePositions(rect(), wallpaper_.size()))
        painter.drawImage(position, wallpaper_);
}
