#include "icon_file_writer.h"

#include <QtEndian>

namespace scanvale {

namespace {

constexpr int MaxSide = 256;
constexpr quint32 DirectorySize = 6 + 16;
constexpr quint32 InfoHeaderSize = 40;

void AppendU8(QByteArray& out, int value) {
    out.append(static_cast<char>(value & 0xff));
}

void AppendU16(QByteArray& out, quint32 value) {
    AppendU8(out, static_cast<int>(value & 0xff));
    AppendU8(out, static_cast<int>((value >> 8) & 0xff));
}

void AppendU32(QByteArray& out, quint32 value) {
    AppendU16(out, value & 0xffff);
    AppendU16(out, value >> 16);
}

} // namespace

QByteArray IconFileWriter::Encode(const QImage& image, Kind kind, QPoint hotSpot) {
    if (image.isNull() || image.width() > MaxSide || image.height() > MaxSide) {
        return {};
    }
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const int width = argb.width();
    const int height = argb.height();
    const auto maskRowBytes = static_cast<quint32>((width + 31) / 32 * 4);
    const auto pixelBytes = static_cast<quint32>(width * height * 4);
    const quint32 maskBytes = maskRowBytes * static_cast<quint32>(height);
    const quint32 payloadSize = InfoHeaderSize + pixelBytes + maskBytes;

    QByteArray out;
    out.reserve(static_cast<qsizetype>(DirectorySize + payloadSize));
    // Directory header: reserved, type (1 icon, 2 cursor), image count.
    AppendU16(out, 0);
    AppendU16(out, kind == Kind::Cursor ? 2 : 1);
    AppendU16(out, 1);
    // Directory entry. For a cursor the planes and bit-count fields hold the hot spot.
    AppendU8(out, width % MaxSide);
    AppendU8(out, height % MaxSide);
    AppendU8(out, 0);
    AppendU8(out, 0);
    AppendU16(out, kind == Kind::Cursor ? static_cast<quint32>(hotSpot.x()) : 1);
    AppendU16(out, kind == Kind::Cursor ? static_cast<quint32>(hotSpot.y()) : 32);
    AppendU32(out, payloadSize);
    AppendU32(out, DirectorySize);
    // BITMAPINFOHEADER; the height counts the pixel rows and the mask rows together.
    AppendU32(out, InfoHeaderSize);
    AppendU32(out, static_cast<quint32>(width));
    AppendU32(out, static_cast<quint32>(height * 2));
    AppendU16(out, 1);
    AppendU16(out, 32);
    AppendU32(out, 0);
    AppendU32(out, pixelBytes + maskBytes);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    AppendU32(out, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = argb.pixel(x, y);
            AppendU8(out, qBlue(pixel));
            AppendU8(out, qGreen(pixel));
            AppendU8(out, qRed(pixel));
            AppendU8(out, qAlpha(pixel));
        }
    }
    for (int y = height - 1; y >= 0; --y) {
        QByteArray row(static_cast<qsizetype>(maskRowBytes), '\0');
        for (int x = 0; x < width; ++x) {
            if (qAlpha(argb.pixel(x, y)) == 0) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(row);
    }
    return out;
}

} // namespace scanvale
