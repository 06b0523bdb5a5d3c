#include "icon_file.h"

#include <QBuffer>
#include <QImageReader>
#include <QtEndian>
#include <cstdint>

namespace scanvale {

namespace {

constexpr qsizetype HeaderSize = 6;
constexpr qsizetype EntrySize = 16;
constexpr qsizetype InfoHeaderSize = 40;
constexpr int MaxSide = 256;
const QByteArray PngSignature("\x89PNG\r\n\x1a\n", 8);

quint16 U16(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

quint32 U32(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}

struct Entry {
    int width = 0;
    int height = 0;
    quint16 planesOrHotX = 0;
    quint16 bitsOrHotY = 0;
    quint32 size = 0;
    quint32 offset = 0;
};

Entry ReadEntry(const QByteArray& bytes, qsizetype at) {
    Entry entry;
    const auto side = [](char c) { return c == 0 ? MaxSide : static_cast<int>(quint8(c)); };
    entry.width = side(bytes.at(at));
    entry.height = side(bytes.at(at + 1));
    entry.planesOrHotX = U16(bytes, at + 4);
    entry.bitsOrHotY = U16(bytes, at + 6);
    entry.size = U32(bytes, at + 8);
    entry.offset = U32(bytes, at + 12);
    return entry;
}

// A PNG image stored inside the file: its IHDR must announce sane sides before decoding.
QImage DecodePng(const QByteArray& payload) {
    if (payload.size() < 24 || payload.mid(12, 4) != "IHDR") {
        return {};
    }
    const quint32 width = qFromBigEndian<quint32>(payload.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(payload.constData() + 20);
    if (width == 0 || height == 0 || width > MaxSide || height > MaxSide) {
        return {};
    }
    return QImage::fromData(payload, "PNG");
}

// A device-independent bitmap with its AND mask. Once its layout has been checked it is
// wrapped in a fresh one-entry icon directory and handed to Qt's ICO reader, so the reader
// sees only the entry checked here, with the bit count of the bitmap itself (a cursor's entry
// holds its hot spot in that field). Qt's reader alone accepts a mask cut short.
QImage DecodeBitmap(const QByteArray& payload) {
    if (payload.size() < InfoHeaderSize || U32(payload, 0) != InfoHeaderSize) {
        return {};
    }
    const auto width = static_cast<std::int32_t>(U32(payload, 4));
    const auto doubledHeight = static_cast<std::int32_t>(U32(payload, 8));
    const quint16 bits = U16(payload, 14);
    const quint32 compression = U32(payload, 16);
    const quint32 colorsUsed = U32(payload, 32);
    if (width <= 0 || width > MaxSide || doubledHeight <= 0 || doubledHeight % 2 != 0 ||
        doubledHeight / 2 > MaxSide || compression != 0) {
        return {};
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) {
        return {};
    }
    const std::int64_t height = doubledHeight / 2;
    const std::int64_t maxColors = bits <= 8 ? (std::int64_t{1} << bits) : 0;
    if (colorsUsed > static_cast<quint64>(maxColors)) {
        return {};
    }
    const std::int64_t paletteBytes = 4 * (colorsUsed != 0 ? colorsUsed : maxColors);
    const std::int64_t pixelRow = (std::int64_t{width} * bits + 31) / 32 * 4;
    const std::int64_t maskRow = (std::int64_t{width} + 31) / 32 * 4;
    const std::int64_t needed = InfoHeaderSize + paletteBytes + (pixelRow + maskRow) * height;
    if (needed > payload.size()) {
        return {};
    }

    QByteArray ico;
    ico.resize(HeaderSize + EntrySize);
    ico.fill('\0');
    qToLittleEndian<quint16>(1, ico.data() + 2);
    qToLittleEndian<quint16>(1, ico.data() + 4);
    ico[6] = static_cast<char>(width % MaxSide);
    ico[7] = static_cast<char>(height % MaxSide);
    qToLittleEndian<quint16>(1, ico.data() + 10);
    qToLittleEndian<quint16>(bits, ico.data() + 12);
    qToLittleEndian<quint32>(static_cast<quint32>(payload.size()), ico.data() + 14);
    qToLittleEndian<quint32>(HeaderSize + EntrySize, ico.data() + 18);
    ico.append(payload);

    QBuffer buffer(&ico);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    QImage image = reader.read();
    if (image.width() != width || image.height() != height) {
        return {};
    }
    return image;
}

} // namespace

IconFile IconFile::Parse(const QByteArray& bytes) {
    IconFile file;
    if (bytes.size() < HeaderSize || U16(bytes, 0) != 0) {
        return file;
    }
    const quint16 type = U16(bytes, 2);
    const quint16 count = U16(bytes, 4);
    if ((type != 1 && type != 2) || count == 0 || HeaderSize + count * EntrySize > bytes.size()) {
        return file;
    }

    // A cursor entry's bit-count field holds the hot spot, so only icons compare depths.
    Entry best;
    for (int i = 0; i < count; ++i) {
        const Entry entry = ReadEntry(bytes, HeaderSize + i * EntrySize);
        const int area = entry.width * entry.height;
        const int bestArea = best.width * best.height;
        const bool deeper = type == 1 && entry.bitsOrHotY > best.bitsOrHotY;
        if (area > bestArea || (area == bestArea && deeper)) {
            best = entry;
        }
    }
    if (best.size == 0 || quint64{best.offset} + best.size > quint64(bytes.size())) {
        return file;
    }

    const QByteArray payload = bytes.mid(best.offset, best.size);
    QImage image = payload.startsWith(PngSignature) ? DecodePng(payload) : DecodeBitmap(payload);
    if (image.isNull()) {
        return file;
    }
    file.cursor_ = type == 2;
    if (file.cursor_) {
        const QPoint hotSpot(best.planesOrHotX, best.bitsOrHotY);
        if (!image.rect().contains(hotSpot)) {
            return file;
        }
        file.hotSpot_ = hotSpot;
    }
    file.image_ = image.convertToFormat(QImage::Format_ARGB32);
    return file;
}

} // namespace scanvale
