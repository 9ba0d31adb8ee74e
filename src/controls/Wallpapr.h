// A control that fills its area with a bitmap repeated as tiles.
#pragma once

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QWidget>

#include <vector>

// Where the tiles of a tileSize bitmap go to cover the client rectangle: whole columns and
// rows from its top-left corner, the last ones clipped by the control. None for an empty tile.
std::vector<QPoint> WallpaperTilePositions(const QRect& client, const QSize& tileSize);

class TWallpaper : public QWidget {
    Q_OBJECT
  public:
    explicit TWallpaper(QWidget* parent = nullptr);

    const QImage& Wallpaper() const { return wallpaper_; }
    // Keeps a copy of the picture and repaints.
    void setWallpaper(const QImage& wallpaper);

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QImage wallpaper_;
};
