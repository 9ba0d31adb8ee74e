// Icons on Windows: the handles are user32's, and a Qt widget, which has no device context of
// its own, paints an icon as the picture Qt reads from the handle.
#include "platform/gui/icons.h"

#include <QPainter>

void DrawIconOn(QPainter& painter, int x, int y, HICON icon) {
    const QImage picture = IconImage(icon);
    if (!picture.isNull()) painter.drawImage(x, y, picture);
}

QImage IconImage(HICON icon) {
    if (!icon) return {};
    return QImage::fromHICON(icon).convertToFormat(QImage::Format_ARGB32);
}
