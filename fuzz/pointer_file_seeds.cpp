// Writes the seed corpus of fuzz_pointer_file into the folder given: valid cursor and icon
// files of a few sizes made by the pointer-file writer, and one cursor whose picture is stored
// as PNG, the other kind of image such files hold.
//   pointer_file_seeds <folder>
#include "icon_file_writer.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QtEndian>
#include <cstdio>

using scanvale::IconFileWriter;

namespace {

QImage Picture(int width, int height) {
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(QRect(1, 1, width - 2, height - 2), QColor(200, 40, 40, 180));
    painter.fillRect(QRect(width / 2, 0, 1, height), QColor(20, 90, 220));
    return image;
}

// A one-entry cursor directory followed by the picture stored as PNG.
QByteArray PngCursor(const QImage& image, QPoint hotSpot) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    QByteArray bytes =
        IconFileWriter::Encode(image, IconFileWriter::Kind::Cursor, hotSpot).left(22);
    qToLittleEndian<quint32>(static_cast<quint32>(png.size()), bytes.data() + 14);
    return bytes + png;
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc != 2 || !QDir().mkpath(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: pointer_file_seeds <folder>\n");
        return 1;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    using Kind = IconFileWriter::Kind;
    const QList<std::pair<const char*, QByteArray>> seeds = {
        {"cursor-32.cur", IconFileWriter::Encode(Picture(32, 32), Kind::Cursor, QPoint(11, 1))},
        {"icon-32.ico", IconFileWriter::Encode(Picture(32, 32), Kind::Icon)},
        {"icon-1.ico", IconFileWriter::Encode(Picture(1, 1), Kind::Icon)},
        {"cursor-5x3.cur", IconFileWriter::Encode(Picture(5, 3), Kind::Cursor, QPoint(4, 2))},
        {"png-cursor-16.cur", PngCursor(Picture(16, 16), QPoint(3, 12))},
    };
    for (const auto& [name, bytes] : seeds) {
        QFile file(folder.filePath(QString::fromLatin1(name)));
        if (bytes.isEmpty() || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "pointer_file_seeds: cannot write %s\n", name);
            return 1;
        }
    }
    return 0;
}
