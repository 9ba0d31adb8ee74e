// Hand-built icon images and animated-cursor files, byte by byte, for the reader's tests.
#pragma once

#include <QColor>

#include <cstdint>
#include <string>
#include <vector>

namespace ani_bytes {

inline std::string le16(std::uint32_t v) {
    return {char(v & 0xFF), char((v >> 8) & 0xFF)};
}
inline std::string le32(std::uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}

// A chunk exactly as stated: identifier, size, data; a pad byte only when asked.
inline std::string chunk(const std::string& id, const std::string& data, bool pad = false) {
    std::string out = id + le32(static_cast<std::uint32_t>(data.size())) + data;
    if (pad && data.size() % 2 != 0) out += '\0';
    return out;
}

inline std::string infoHeader(int width, int height, int bitCount, std::uint32_t colorsUsed) {
    return le32(40) + le32(width) + le32(2 * height) + le16(1) + le16(bitCount) + le32(0) +
           le32(0) + le32(0) + le32(0) + le32(colorsUsed) + le32(0);
}

inline int stride(int width, int bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

// An icon image (header, palette, colour rows, AND mask) of one colour, except that the mask
// makes the top-left pixel transparent. 4 and 8 bits use a palette whose entry 1 is the
// colour; 24 and 32 bits store it directly (32 bits with alpha 0xFF).
inline std::string solidImage(QRgb color, int bitCount = 4, int size = 32) {
    std::string out;
    std::string palette;
    if (bitCount <= 8) {
        const int entries = 1 << bitCount;
        for (int i = 0; i < entries; ++i) {
            const QRgb c = i == 1 ? color : qRgb(0, 0, 0);
            palette += {char(qBlue(c)), char(qGreen(c)), char(qRed(c)), '\0'};
        }
    }
    out = infoHeader(size, size, bitCount, 0) + palette;
    const int colorStride = stride(size, bitCount);
    for (int y = 0; y < size; ++y) {
        std::string row;
        for (int x = 0; x < size; ++x) {
            switch (bitCount) {
            case 1:
                break;
            case 4:
                if (x % 2 == 0) row += char(0x11);
                break;
            case 8:
                row += char(1);
                break;
            case 24:
                row += {char(qBlue(color)), char(qGreen(color)), char(qRed(color))};
                break;
            default:
                row += {char(qBlue(color)), char(qGreen(color)), char(qRed(color)), char(0xFF)};
            }
        }
        if (bitCount == 1) row = std::string(size / 8, char(0xFF));
        row.resize(colorStride, '\0');
        out += row;
    }
    const int maskStride = stride(size, 1);
    for (int y = size - 1; y >= 0; --y) {
        std::string row(maskStride, '\0');
        if (y == 0) row[0] = char(0x80);
        out += row;
    }
    return out;
}

// An icon file holding the given images; the first directory entry points at the first.
inline std::string iconFile(const std::vector<std::string>& images) {
    std::string out = le16(0) + le16(1) + le16(static_cast<std::uint32_t>(images.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
    for (const std::string& image : images) {
        out += std::string{char(32), char(32), char(0), char(0)} + le16(1) + le16(4) +
               le32(static_cast<std::uint32_t>(image.size())) + le32(offset);
        offset += static_cast<std::uint32_t>(image.size());
    }
    for (const std::string& image : images)
        out += image;
    return out;
}

struct Ani {
    bool info = false;
    std::string title = "Title";
    std::string author = "Maker";
    std::uint32_t displayRate = 6;
    std::uint32_t headerFrames = 0; // 0: the number of frame chunks
    bool hasRate = false;
    std::vector<std::uint32_t> rates;
    std::string rateChunkData;       // replaces the rates when not empty
    std::vector<std::string> frames; // icon files, one per frame chunk

    std::string bytes() const {
        std::string body = "ACON";
        if (info) {
            // Text chunks padded to even size, as writers do.
            body += chunk("LIST", "INFO" + chunk("INAM", title + '\0', true) +
                                      chunk("IART", author + '\0', true));
        }
        const auto count =
            headerFrames != 0 ? headerFrames : static_cast<std::uint32_t>(frames.size());
        body += chunk("anih", le32(36) + le32(count) + le32(count) + le32(0) + le32(0) + le32(0) +
                                  le32(0) + le32(displayRate) + le32(1));
        if (hasRate) {
            std::string data = rateChunkData;
            if (data.empty()) {
                for (std::uint32_t r : rates)
                    data += le32(r);
            }
            body += chunk("rate", data);
        }
        std::string list = "fram";
        for (const std::string& frame : frames)
            list += chunk("icon", frame);
        body += chunk("LIST", list);
        return chunk("RIFF", body);
    }
};

// A distinct colour per frame index.
inline QRgb frameColor(int i) {
    return qRgb(10 + (i * 37) % 200, 200 - (i * 13) % 180, 40 + i);
}

inline std::vector<std::string> solidFrames(int count) {
    std::vector<std::string> frames;
    for (int i = 0; i < count; ++i)
        frames.push_back(iconFile({solidImage(frameColor(i))}));
    return frames;
}

} // namespace ani_bytes
