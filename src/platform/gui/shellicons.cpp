// The system image list's pictures, drawn with QPainter on a 32-unit grid.
#include "platform/gui/shellicons.h"

#include "platform/gui/icons.h"
#include "platform/shellicons.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

#include <map>
#include <mutex>

namespace {

const QColor kOutline(70, 70, 70);

void drawPage(QPainter& p) {
    QPainterPath page;
    page.moveTo(6, 2);
    page.lineTo(20, 2);
    page.lineTo(27, 9);
    page.lineTo(27, 30);
    page.lineTo(6, 30);
    page.closeSubpath();
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(Qt::white);
    p.drawPath(page);
    QPainterPath corner;
    corner.moveTo(20, 2);
    corner.lineTo(20, 9);
    corner.lineTo(27, 9);
    p.setBrush(QColor(220, 220, 220));
    p.drawPath(corner);
    p.setPen(QPen(QColor(150, 150, 150), 1.5));
    for (int y = 14; y <= 26; y += 4)
        p.drawLine(10, y, 23, y);
}

enum class FolderLook { Closed, Open };

void drawFolder(QPainter& p, FolderLook look) {
    p.setPen(QPen(QColor(150, 110, 20), 1.5));
    p.setBrush(QColor(230, 180, 60));
    QPainterPath back;
    back.moveTo(2, 7);
    back.lineTo(12, 7);
    back.lineTo(15, 10);
    back.lineTo(30, 10);
    back.lineTo(30, 27);
    back.lineTo(2, 27);
    back.closeSubpath();
    p.drawPath(back);
    p.setBrush(QColor(250, 210, 90));
    if (look == FolderLook::Open) {
        QPainterPath front;
        front.moveTo(6, 14);
        front.lineTo(31, 14);
        front.lineTo(27, 27);
        front.lineTo(2, 27);
        front.closeSubpath();
        p.drawPath(front);
    } else {
        p.drawRect(QRectF(2, 13, 28, 14));
    }
}

void drawGlobe(QPainter& p, QRectF r) {
    p.setPen(QPen(QColor(20, 70, 160), 1.5));
    p.setBrush(QColor(90, 160, 230));
    p.drawEllipse(r);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(230, 245, 255), 1.2));
    p.drawEllipse(QRectF(r.center().x() - r.width() / 4, r.top(), r.width() / 2, r.height()));
    p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y()));
}

// The shortcut mark: a white box with a curved arrow, bottom left.
void drawShortcutMark(QPainter& p) {
    p.setPen(QPen(kOutline, 1.2));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(1, 19, 12, 12));
    p.setPen(QPen(QColor(20, 70, 160), 2.2, Qt::SolidLine, Qt::RoundCap));
    QPainterPath arrow;
    arrow.moveTo(4, 28);
    arrow.quadTo(4, 23, 10, 23);
    p.setBrush(Qt::NoBrush);
    p.drawPath(arrow);
    p.drawLine(QPointF(10, 23), QPointF(7.5, 21));
    p.drawLine(QPointF(10, 23), QPointF(7.5, 25.5));
}

void drawDrive(QPainter& p) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(200, 200, 205));
    p.drawRoundedRect(QRectF(2, 11, 28, 12), 2, 2);
    p.setBrush(QColor(60, 190, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QRectF(24, 18, 3, 3));
}

void drawComputer(QPainter& p) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(210, 210, 215));
    p.drawRect(QRectF(3, 3, 26, 19));
    p.setBrush(QColor(40, 100, 190));
    p.drawRect(QRectF(6, 6, 20, 13));
    p.setBrush(QColor(210, 210, 215));
    p.drawRect(QRectF(12, 22, 8, 3));
    p.drawRect(QRectF(6, 25, 20, 4));
}

void drawDesktop(QPainter& p) {
    p.setPen(QPen(kOutline, 1.5));
    p.setBrush(QColor(60, 130, 200));
    p.drawRect(QRectF(2, 5, 28, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(5, 8, 5, 4));
    p.drawRect(QRectF(5, 15, 5, 4));
    p.setBrush(QColor(230, 180, 60));
    p.drawRect(QRectF(13, 8, 5, 4));
}

QImage draw(int index, int side) {
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 32.0, side / 32.0);
    switch (index) {
    case platform::kIconDocument:
        drawPage(p);
        break;
    case platform::kIconFolder:
        drawFolder(p, FolderLook::Closed);
        break;
    case platform::kIconFolderOpen:
        drawFolder(p, FolderLook::Open);
        break;
    case platform::kIconInternetShortcut:
        drawPage(p);
        drawGlobe(p, QRectF(11, 13, 17, 17));
        drawShortcutMark(p);
        break;
    case platform::kIconShellLink:
        drawPage(p);
        drawShortcutMark(p);
        break;
    case platform::kIconDrive:
        drawDrive(p);
        break;
    case platform::kIconComputer:
        drawComputer(p);
        break;
    case platform::kIconDesktop:
        drawDesktop(p);
        break;
    default:
        return {};
    }
    p.end();
    return image.convertToFormat(QImage::Format_ARGB32);
}

HICON makeIcon(int index, platform::IconSize size) {
    const QImage image = SystemIconImage(index, size);
    if (image.isNull()) return nullptr;
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return CreateIconFromResource(reinterpret_cast<PBYTE>(png.data()),
                                  static_cast<DWORD>(png.size()), TRUE, ICON_RESOURCE_VERSION);
}

} // namespace

QImage SystemIconImage(int index, platform::IconSize size) {
    static std::mutex mutex;
    static std::map<std::pair<int, platform::IconSize>, QImage> cache;
    if (index < 0 || index >= platform::kSystemIconCount) return {};
    std::lock_guard lock(mutex);
    auto& image = cache[{index, size}];
    if (image.isNull()) image = draw(index, size == platform::IconSize::Small ? 16 : 32);
    return image;
}

QImage ImageListImage(HIMAGELIST list, int index) {
    if (platform::systemImageListSize(list) < 0) return {};
    return SystemIconImage(index, list == platform::systemImageList(platform::IconSize::Small)
                                      ? platform::IconSize::Small
                                      : platform::IconSize::Large);
}

void InstallSystemIcons() {
    platform::setSystemIconMaker(makeIcon);
}
