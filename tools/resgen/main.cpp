// Writes the program's design resources: the pictures, glyphs and wallpaper tile into
// resources/, the two animations as animated-cursor files, and the click sound into data/.
// Everything is drawn here, so the files can be made again from this source alone.
//
// Usage: resgen [repository folder]   (default: the current folder)

#include <QBuffer>
#include <QByteArray>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QSaveFile>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

constexpr double pi = 3.14159265358979323846;

// --- Little-endian byte building --------------------------------------------------------

void put16(QByteArray& out, std::uint32_t value) {
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

void put32(QByteArray& out, std::uint32_t value) {
    put16(out, value & 0xFFFF);
    put16(out, value >> 16);
}

void putChunk(QByteArray& out, const char* id, const QByteArray& data) {
    out.append(id, 4);
    put32(out, static_cast<std::uint32_t>(data.size()));
    out.append(data);
    if (data.size() % 2 != 0) out.append('\0');
}

// --- Icon files ------------------------------------------------------------------------

// One 32 x 32 icon file (directory and one image) from a drawing; pixels less than half
// covered become transparent through the AND mask. bitCount is 24 or 8.
QByteArray iconFile(const QImage& drawing, int bitCount) {
    const QImage argb = drawing.convertToFormat(QImage::Format_ARGB32);
    const int w = argb.width();
    const int h = argb.height();
    QImage indexed;
    if (bitCount == 8) {
        QImage opaque = argb.convertToFormat(QImage::Format_RGB32);
        indexed =
            opaque.convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither | Qt::AvoidDither);
    }
    const int colorStride = ((w * bitCount + 31) / 32) * 4;
    const int maskStride = ((w + 31) / 32) * 4;
    const int paletteCount = bitCount == 8 ? 256 : 0;

    QByteArray image;
    put32(image, 40);
    put32(image, w);
    put32(image, 2 * h);
    put16(image, 1);
    put16(image, bitCount);
    put32(image, 0);
    put32(image, (colorStride + maskStride) * h);
    put32(image, 0);
    put32(image, 0);
    put32(image, paletteCount);
    put32(image, 0);
    for (int i = 0; i < paletteCount; ++i) {
        const QRgb c = i < indexed.colorCount() ? indexed.color(i) : qRgb(0, 0, 0);
        image.append(char(qBlue(c)));
        image.append(char(qGreen(c)));
        image.append(char(qRed(c)));
        image.append('\0');
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row;
        for (int x = 0; x < w; ++x) {
            const bool shown = qAlpha(argb.pixel(x, y)) >= 128;
            if (bitCount == 8) {
                row.append(char(shown ? indexed.pixelIndex(x, y) : 0));
            } else {
                const QRgb c = shown ? argb.pixel(x, y) : qRgb(0, 0, 0);
                row.append(char(qBlue(c)));
                row.append(char(qGreen(c)));
                row.append(char(qRed(c)));
            }
        }
        row.append(QByteArray(colorStride - row.size(), '\0'));
        image.append(row);
    }
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskStride, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(argb.pixel(x, y)) < 128) row[x / 8] = char(row[x / 8] | (0x80 >> (x % 8)));
        }
        image.append(row);
    }

    QByteArray file;
    put16(file, 0);
    put16(file, 1);
    put16(file, 1);
    file.append(char(w));
    file.append(char(h));
    file.append(char(0));
    file.append(char(0));
    put16(file, 1);
    put16(file, bitCount);
    put32(file, static_cast<std::uint32_t>(image.size()));
    put32(file, 22);
    file.append(image);
    return file;
}

// The program's icon for Windows (the executable, its shortcuts, the installed programs' list):
// one icon file whose images are PNG pictures, as Windows reads them since Vista, one a size.
QByteArray programIconFile(const std::vector<QImage>& sizes) {
    QByteArray out;
    put16(out, 0);
    put16(out, 1); // an icon, not a cursor
    put16(out, static_cast<std::uint32_t>(sizes.size()));
    std::vector<QByteArray> pictures;
    for (const QImage& image : sizes) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        pictures.push_back(png);
    }
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(sizes.size());
    for (std::size_t i = 0; i < sizes.size(); ++i) {
        const int side = sizes[i].width();
        out.append(char(side >= 256 ? 0 : side)); // 0 stands for 256
        out.append(char(side >= 256 ? 0 : side));
        out.append(char(0)); // no palette
        out.append(char(0));
        put16(out, 1);  // planes
        put16(out, 32); // bits per pixel
        put32(out, static_cast<std::uint32_t>(pictures[i].size()));
        put32(out, offset);
        offset += static_cast<std::uint32_t>(pictures[i].size());
    }
    for (const QByteArray& png : pictures)
        out.append(png);
    return out;
}

struct AniOptions {
    QByteArray title; // with the author, makes the INFO list; none when empty
    QByteArray author;
    std::uint32_t displayRate = 6;
    std::vector<std::uint32_t> rates; // a "rate" chunk when not empty
    int bitCount = 24;
};

// An animated-cursor file (RIFF "ACON") whose frames are icons.
QByteArray aniFile(const std::vector<QImage>& frames, const AniOptions& options) {
    QByteArray body = "ACON";
    if (!options.title.isEmpty()) {
        QByteArray info = "INFO";
        putChunk(info, "INAM", options.title + '\0');
        putChunk(info, "IART", options.author + '\0');
        putChunk(body, "LIST", info);
    }
    QByteArray header;
    const auto count = static_cast<std::uint32_t>(frames.size());
    for (std::uint32_t field : {36u, count, count, 0u, 0u, 0u, 0u, options.displayRate, 1u})
        put32(header, field);
    putChunk(body, "anih", header);
    if (!options.rates.empty()) {
        QByteArray rates;
        for (std::uint32_t rate : options.rates)
            put32(rates, rate);
        putChunk(body, "rate", rates);
    }
    QByteArray list = "fram";
    for (const QImage& frame : frames)
        putChunk(list, "icon", iconFile(frame, options.bitCount));
    putChunk(body, "LIST", list);
    QByteArray file;
    putChunk(file, "RIFF", body);
    return file;
}

// --- Drawings --------------------------------------------------------------------------

QImage canvas(int w, int h, QColor fill = Qt::transparent) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(fill);
    return image;
}

// The house bird: an abstract hummingbird of curves, drawn into a box of the given size.
void drawBird(QPainter& p, const QRectF& box, const QColor& body, const QColor& wing,
              const QColor& throat) {
    p.save();
    p.translate(box.topLeft());
    p.scale(box.width() / 100.0, box.height() / 100.0);
    QPainterPath wingPath;
    wingPath.moveTo(48, 46);
    wingPath.cubicTo(40, 18, 58, 4, 88, 6);
    wingPath.cubicTo(74, 18, 66, 34, 56, 50);
    wingPath.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(wing);
    p.drawPath(wingPath);
    QPainterPath bodyPath;
    bodyPath.moveTo(30, 44);
    bodyPath.cubicTo(40, 36, 56, 42, 62, 56);
    bodyPath.cubicTo(68, 70, 78, 84, 92, 96);
    bodyPath.cubicTo(72, 90, 52, 80, 40, 66);
    bodyPath.cubicTo(30, 58, 24, 50, 30, 44);
    p.setBrush(body);
    p.drawPath(bodyPath);
    p.setBrush(throat);
    p.drawEllipse(QPointF(38, 54), 6, 5);
    p.setPen(QPen(body.darker(150), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(30, 45), QPointF(4, 38));
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(35, 45), 2.2, 2.2);
    p.setBrush(QColor(20, 30, 40));
    p.drawEllipse(QPointF(35.4, 45), 1.1, 1.1);
    p.restore();
}

// A tile that repeats without seams: every pattern has a period that divides the size.
QImage wallpaperTile() {
    const int size = 64;
    QImage image(size, size, QImage::Format_RGB32);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double a = 2 * pi * x / size;
            const double b = 2 * pi * y / size;
            const double wave =
                std::sin(a + b) * 0.5 + std::sin(2 * a - b) * 0.3 + std::cos(3 * b) * 0.2;
            const int shade = static_cast<int>(std::lround(wave * 7));
            image.setPixel(x, y, qRgb(206 + shade, 224 + shade, 246 + shade / 2));
        }
    }
    return image;
}

QImage splash() {
    QImage image = canvas(383, 205, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 383, 205);
    sky.setColorAt(0, QColor(18, 62, 128));
    sky.setColorAt(0.55, QColor(34, 120, 170));
    sky.setColorAt(1, QColor(40, 160, 130));
    p.fillRect(image.rect(), sky);
    for (int i = 0; i < 7; ++i) {
        QPainterPath swirl;
        swirl.moveTo(-20, 150 - i * 14);
        swirl.cubicTo(100, 90 - i * 10, 220, 210 - i * 12, 410, 120 - i * 16);
        p.setPen(QPen(QColor(255, 255, 255, 18 + i * 4), 6 - i * 0.5));
        p.setBrush(Qt::NoBrush);
        p.drawPath(swirl);
    }
    QRadialGradient glow(QPointF(250, 80), 110);
    glow.setColorAt(0, QColor(255, 255, 255, 70));
    glow.setColorAt(1, QColor(255, 255, 255, 0));
    p.fillRect(image.rect(), glow);
    drawBird(p, QRectF(180, 10, 150, 150), QColor(40, 180, 120), QColor(150, 220, 240, 220),
             QColor(220, 60, 90));
    // A blossom for the bird to drink from.
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i) {
        p.save();
        p.translate(176, 72);
        p.rotate(i * 72);
        p.setBrush(QColor(240, 120, 170));
        p.drawEllipse(QPointF(0, -9), 5, 9);
        p.restore();
    }
    p.setBrush(QColor(250, 220, 90));
    p.drawEllipse(QPointF(176, 72), 4, 4);
    p.setPen(QPen(QColor(30, 110, 60), 3));
    p.drawLine(QPointF(176, 80), QPointF(160, 205));
    return image;
}

QImage strip(int height) {
    QImage image = canvas(38, height, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fade(0, 0, 0, height);
    fade.setColorAt(0, QColor(22, 70, 140));
    fade.setColorAt(1, QColor(40, 150, 130));
    p.fillRect(image.rect(), fade);
    p.setBrush(Qt::NoBrush);
    for (int y = -20; y < height + 20; y += 26) {
        QPainterPath feather;
        feather.moveTo(0, y + 18);
        feather.quadTo(19, y - 4, 38, y + 18);
        p.setPen(QPen(QColor(255, 255, 255, 40), 2));
        p.drawPath(feather);
    }
    p.setPen(QPen(QColor(255, 255, 255, 120), 1));
    p.drawLine(0, 0, 0, height);
    return image;
}

enum class Motif { Bird, Welcome, Security, Cache, Favorites, Settings, Auto, About };

QImage decoration(Motif motif) {
    QImage image = canvas(120, 120, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient disc(QPointF(60, 60), 58);
    disc.setColorAt(0, QColor(228, 240, 252));
    disc.setColorAt(0.85, QColor(196, 222, 246));
    disc.setColorAt(1, QColor(255, 255, 255));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QPointF(60, 60), 58, 58);
    const QColor deep(30, 90, 160);
    const QColor leaf(40, 170, 110);
    switch (motif) {
    case Motif::Bird:
    case Motif::Welcome: {
        if (motif == Motif::Welcome) {
            p.setBrush(QColor(255, 210, 90));
            p.drawEllipse(QPointF(86, 34), 14, 14);
        }
        drawBird(p, QRectF(14, 14, 92, 92), leaf, QColor(120, 190, 235), QColor(220, 60, 90));
        break;
    }
    case Motif::Security: {
        QPainterPath shield;
        shield.moveTo(60, 18);
        shield.cubicTo(74, 26, 88, 28, 94, 28);
        shield.cubicTo(94, 66, 82, 88, 60, 102);
        shield.cubicTo(38, 88, 26, 66, 26, 28);
        shield.cubicTo(32, 28, 46, 26, 60, 18);
        p.setBrush(deep);
        p.drawPath(shield);
        p.setPen(QPen(Qt::white, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolyline(QPolygonF({QPointF(44, 60), QPointF(56, 72), QPointF(78, 46)}));
        break;
    }
    case Motif::Cache: {
        // A stack of pages being swept away.
        for (int i = 0; i < 3; ++i) {
            p.setBrush(QColor(255, 255, 255));
            p.setPen(QPen(deep, 2));
            p.drawRoundedRect(QRectF(30 + i * 8, 28 + i * 8, 44, 54), 4, 4);
        }
        p.setPen(QPen(leaf, 6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(92, 24), QPointF(66, 86));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(220, 160, 60));
        p.drawPolygon(
            QPolygonF({QPointF(56, 84), QPointF(78, 90), QPointF(70, 104), QPointF(48, 98)}));
        break;
    }
    case Motif::Favorites: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double r = i % 2 == 0 ? 42 : 18;
            const double a = -pi / 2 + i * pi / 5;
            star << QPointF(60 + r * std::cos(a), 62 + r * std::sin(a));
        }
        p.setBrush(QColor(250, 196, 60));
        p.setPen(QPen(QColor(200, 130, 20), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(star);
        break;
    }
    case Motif::Settings: {
        QPainterPath gear;
        for (int i = 0; i < 10; ++i) {
            p.save();
            p.translate(60, 60);
            p.rotate(i * 36);
            p.setBrush(deep);
            p.drawRoundedRect(QRectF(-7, -44, 14, 20), 3, 3);
            p.restore();
        }
        p.setBrush(deep);
        p.drawEllipse(QPointF(60, 60), 30, 30);
        p.setBrush(QColor(228, 240, 252));
        p.drawEllipse(QPointF(60, 60), 12, 12);
        break;
    }
    case Motif::Auto: {
        p.setBrush(Qt::white);
        p.setPen(QPen(deep, 6));
        p.drawEllipse(QPointF(60, 60), 38, 38);
        p.setPen(QPen(deep, 3));
        for (int i = 0; i < 12; ++i) {
            const double a = i * pi / 6;
            p.drawLine(QPointF(60 + 30 * std::cos(a), 60 + 30 * std::sin(a)),
                       QPointF(60 + 34 * std::cos(a), 60 + 34 * std::sin(a)));
        }
        p.setPen(QPen(leaf, 5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(60, 60), QPointF(60, 34));
        p.drawLine(QPointF(60, 60), QPointF(78, 70));
        break;
    }
    case Motif::About: {
        p.setBrush(deep);
        p.drawEllipse(QPointF(60, 60), 40, 40);
        p.setBrush(Qt::white);
        p.drawEllipse(QPointF(60, 38), 7, 7);
        p.drawRoundedRect(QRectF(53, 52, 14, 36), 4, 4);
        break;
    }
    }
    return image;
}

QImage infoGlyph() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 90, 200));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(6.6, 2.8, 2.8, 2.8));
    p.drawRect(QRectF(6.8, 6.6, 2.4, 6.6));
    return image;
}

QImage linkGlyph() {
    QImage image = canvas(12, 12);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 200));
    p.drawPolygon(QPolygonF({QPointF(3, 1.5), QPointF(10, 6), QPointF(3, 10.5)}));
    return image;
}

QImage nextGlyph() {
    QImage image = canvas(16, 16);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 160, 90));
    p.drawEllipse(QRectF(0.5, 0.5, 15, 15));
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(QPointF(4, 8), QPointF(11, 8));
    p.drawPolyline(QPolygonF({QPointF(8, 4.8), QPointF(11.2, 8), QPointF(8, 11.2)}));
    return image;
}

// The picture beside a clearing link: a waste-paper basket with a sheet going in.
QImage clearPicture() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(QPointF(6, 0), QPointF(26, 0));
    body.setColorAt(0, QColor(90, 140, 205));
    body.setColorAt(0.5, QColor(150, 195, 240));
    body.setColorAt(1, QColor(70, 120, 185));
    p.setPen(QPen(QColor(25, 60, 120), 1.2));
    p.setBrush(body);
    p.drawPolygon(QPolygonF({QPointF(7, 11), QPointF(25, 11), QPointF(23, 30), QPointF(9, 30)}));
    p.setPen(QPen(QColor(25, 60, 120, 150), 1.0));
    for (double x : {12.5, 16.0, 19.5})
        p.drawLine(QPointF(x, 14), QPointF(x + (x - 16) * 0.1, 27));
    p.setPen(QPen(QColor(25, 60, 120), 1.2));
    p.setBrush(QColor(120, 170, 225));
    p.drawRoundedRect(QRectF(5, 8.5, 22, 3.5), 1.5, 1.5);
    p.save();
    p.translate(18, 6);
    p.rotate(-25);
    p.setPen(QPen(QColor(140, 140, 140), 0.8));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(-5, -6, 10, 9));
    p.setPen(QPen(QColor(180, 180, 180), 0.8));
    for (double y : {-3.5, -1.5, 0.5})
        p.drawLine(QPointF(-3.5, y), QPointF(3.5, y));
    p.restore();
    return image;
}

// The picture of a notice: a yellow sign with an exclamation mark.
QImage noticePicture() {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sign(QPointF(0, 3), QPointF(0, 29));
    sign.setColorAt(0, QColor(255, 226, 110));
    sign.setColorAt(1, QColor(240, 180, 30));
    p.setPen(QPen(QColor(150, 100, 0), 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(sign);
    p.drawPolygon(QPolygonF({QPointF(16, 3), QPointF(30, 28.5), QPointF(2, 28.5)}));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(60, 40, 0));
    p.drawRoundedRect(QRectF(14.5, 10.5, 3, 10), 1.2, 1.2);
    p.drawEllipse(QPointF(16, 24.2), 1.8, 1.8);
    return image;
}

// The picture of another browser: a small browser window whose title bar and page show the
// browser's colour, with a globe on the page.
QImage browserPicture(const QColor& accent) {
    QImage image = canvas(48, 48);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF frame(3, 6, 42, 36);
    p.setPen(QPen(accent.darker(160), 1.2));
    p.setBrush(Qt::white);
    p.drawRoundedRect(frame, 3, 3);
    QLinearGradient bar(QPointF(0, 6), QPointF(0, 14));
    bar.setColorAt(0, accent.lighter(130));
    bar.setColorAt(1, accent);
    p.setBrush(bar);
    p.drawRoundedRect(QRectF(3, 6, 42, 8), 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    for (double x : {35.5, 39.5})
        p.drawEllipse(QPointF(x, 10), 1.4, 1.4);
    p.setBrush(accent.lighter(175));
    p.drawRect(QRectF(7, 17, 34, 4));
    QRadialGradient sea(QPointF(21, 27), 11);
    sea.setColorAt(0, QColor(120, 185, 245));
    sea.setColorAt(1, QColor(30, 80, 165));
    p.setBrush(sea);
    p.drawEllipse(QPointF(24, 31), 8.5, 8.5);
    p.setBrush(QColor(70, 170, 85));
    p.drawEllipse(QPointF(21, 29), 3.5, 2.5);
    p.drawEllipse(QPointF(27.5, 34), 2.5, 3);
    return image;
}

// A globe turning once over the frames: continents slide across a shaded sphere.
// The house bird on a blue disc, at one side length.
QImage programIcon(int side) {
    QImage image = canvas(side, side);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double r = side / 2.0;
    QRadialGradient disc(QPointF(r * 0.8, r * 0.7), r);
    disc.setColorAt(0, QColor(120, 180, 240));
    disc.setColorAt(1, QColor(30, 90, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(disc);
    p.drawEllipse(QPointF(r, r), r - 0.5, r - 0.5);
    const double inset = side * 0.12;
    drawBird(p, QRectF(inset, inset, side - 2 * inset, side - 2 * inset), QColor(40, 170, 110),
             QColor(255, 255, 255), QColor(230, 60, 80));
    return image;
}

QImage globeFrame(int frame, int frames) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(16, 16);
    const double radius = 14.5;
    QRadialGradient sea(QPointF(12, 11), 18);
    sea.setColorAt(0, QColor(110, 180, 245));
    sea.setColorAt(1, QColor(20, 70, 160));
    p.setPen(Qt::NoPen);
    p.setBrush(sea);
    p.drawEllipse(centre, radius, radius);
    QPainterPath sphere;
    sphere.addEllipse(centre, radius, radius);
    p.setClipPath(sphere);
    p.setBrush(QColor(60, 170, 80));
    const double turn = 2 * pi * frame / frames;
    // Continents as blobs at fixed longitudes; x follows the sphere's curvature.
    const struct {
        double longitude, latitude, size;
    } lands[] = {
        {0.0, -0.5, 5.5}, {1.4, 0.3, 6.5}, {2.6, -0.2, 4.5}, {4.2, 0.5, 6.0}, {5.3, -0.6, 4.0}};
    for (const auto& land : lands) {
        const double a = land.longitude + turn;
        const double depth = std::cos(a);
        if (depth <= -0.1) continue;
        const double x = centre.x() + radius * std::sin(a) * std::cos(land.latitude);
        const double y = centre.y() + radius * std::sin(land.latitude);
        p.drawEllipse(QPointF(x, y), land.size * std::max(0.25, depth), land.size);
    }
    p.setClipping(false);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(10, 40, 100), 1.2));
    p.drawEllipse(centre, radius, radius);
    return image;
}

// A spinner: twelve dots of which a bright one runs round, trailing a fading tail.
QImage spinnerFrame(int frame, int frames) {
    QImage image = canvas(32, 32);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    for (int i = 0; i < frames; ++i) {
        const int behind = (frame - i + frames) % frames;
        const double a = 2 * pi * i / frames - pi / 2;
        const int fade = std::min(behind, 5);
        p.setBrush(QColor(30 + fade * 36, 100 + fade * 26, 200 + fade * 9));
        p.drawEllipse(QPointF(16 + 11.5 * std::cos(a), 16 + 11.5 * std::sin(a)), 3.2 - fade * 0.2,
                      3.2 - fade * 0.2);
    }
    return image;
}

// A short click: a decaying burst of a 2.2 kHz tone with a little noise, 16-bit mono PCM.
QByteArray clickSound() {
    const int rate = 22050;
    const int samples = rate * 30 / 1000;
    QByteArray pcm;
    std::uint32_t noise = 12345;
    for (int i = 0; i < samples; ++i) {
        const double t = double(i) / rate;
        noise = noise * 1103515245u + 12345u;
        const double hiss = (double((noise >> 16) & 0x7FFF) / 16384.0 - 1.0) * 0.25;
        const double value = (std::sin(2 * pi * 2200 * t) * 0.75 + hiss) * std::exp(-t * 180);
        put16(pcm, static_cast<std::uint16_t>(static_cast<std::int16_t>(value * 20000)));
    }
    QByteArray format;
    put16(format, 1);
    put16(format, 1);
    put32(format, rate);
    put32(format, rate * 2);
    put16(format, 2);
    put16(format, 16);
    QByteArray body = "WAVE";
    putChunk(body, "fmt ", format);
    putChunk(body, "data", pcm);
    QByteArray file;
    putChunk(file, "RIFF", body);
    return file;
}

bool writeFile(const QString& path, const QByteArray& data) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
        std::fprintf(stderr, "resgen: cannot write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s (%lld bytes)\n", qPrintable(path), static_cast<long long>(data.size()));
    return true;
}

bool writePng(const QString& path, const QImage& image) {
    QByteArray data;
    {
        QBuffer buffer(&data);
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) {
            std::fprintf(stderr, "resgen: cannot encode %s\n", qPrintable(path));
            return false;
        }
    }
    return writeFile(path, data);
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QDir repository(argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath());
    if (!repository.exists("resources") && !repository.mkpath("resources")) {
        std::fprintf(stderr, "resgen: no resources folder in %s\n", qPrintable(repository.path()));
        return 1;
    }
    const QString res = repository.filePath("resources") + '/';

    bool ok = true;
    ok &= writePng(res + "wallpaper.png", wallpaperTile());
    ok &= writePng(res + "splash.png", splash());
    ok &= writePng(res + "strip.png", strip(400));
    ok &= writePng(res + "decoration.png", decoration(Motif::Bird));
    ok &= writePng(res + "decoration_welcome.png", decoration(Motif::Welcome));
    ok &= writePng(res + "decoration_security.png", decoration(Motif::Security));
    ok &= writePng(res + "decoration_cache.png", decoration(Motif::Cache));
    ok &= writePng(res + "decoration_favorites.png", decoration(Motif::Favorites));
    ok &= writePng(res + "decoration_settings.png", decoration(Motif::Settings));
    ok &= writePng(res + "decoration_auto.png", decoration(Motif::Auto));
    ok &= writePng(res + "decoration_about.png", decoration(Motif::About));
    ok &= writePng(res + "info.png", infoGlyph());
    ok &= writePng(res + "link.png", linkGlyph());
    ok &= writePng(res + "next.png", nextGlyph());
    ok &= writePng(res + "clear.png", clearPicture());
    ok &= writePng(res + "notice.png", noticePicture());
    // Each browser's picture in its own colour.
    const struct {
        const char* name;
        QColor accent;
    } browsers[] = {{"opera", QColor(200, 40, 40)},      {"mozilla", QColor(40, 140, 70)},
                    {"firefox", QColor(230, 120, 20)},   {"chrome", QColor(50, 110, 215)},
                    {"edge", QColor(20, 150, 160)},      {"brave", QColor(235, 85, 35)},
                    {"vivaldi", QColor(200, 40, 70)},    {"chromium", QColor(80, 140, 200)},
                    {"librewolf", QColor(40, 120, 200)}, {"waterfox", QColor(20, 110, 140)},
                    {"floorp", QColor(100, 70, 190)},    {"zen", QColor(70, 70, 80)}};
    for (const auto& browser : browsers)
        ok &= writePng(res + "browser_" + browser.name + ".png", browserPicture(browser.accent));

    std::vector<QImage> globe;
    const int globeFrames = 8;
    for (int i = 0; i < globeFrames; ++i)
        globe.push_back(globeFrame(i, globeFrames));
    AniOptions home;
    home.title = "Surfkolibri home";
    home.author = "Kravonel";
    home.displayRate = 6;
    home.rates = {12, 6, 6, 6, 6, 6, 6, 6};
    home.bitCount = 24;
    ok &= writeFile(res + "home.ani", aniFile(globe, home));

    std::vector<QImage> spinner;
    const int spinnerFrames = 12;
    for (int i = 0; i < spinnerFrames; ++i)
        spinner.push_back(spinnerFrame(i, spinnerFrames));
    AniOptions busy;
    busy.displayRate = 4;
    busy.bitCount = 8;
    ok &= writeFile(res + "busy.ani", aniFile(spinner, busy));

    ok &= writeFile(res + "surfkolibri.ico", programIconFile({programIcon(16), programIcon(32),
                                                              programIcon(48), programIcon(256)}));

    if (!repository.exists("data") && !repository.mkpath("data")) ok = false;
    ok &= writeFile(repository.filePath("data/clck.wav"), clickSound());
    return ok ? 0 : 1;
}
