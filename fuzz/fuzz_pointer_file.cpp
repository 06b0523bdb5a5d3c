// Fuzzes the pointer-file reader. Each input is used twice:
// - as the bytes of a hostile .cur or .ico file: reading it never crashes, never reads outside
//   the bytes (AddressSanitizer) and never allocates without bound (run.sh's -malloc_limit_mb);
//   what it accepts is a picture of at most 256 x 256 pixels with its hot spot inside, and the
//   writer's file of that picture reads back as the same picture;
// - as the description of a picture (kind, sides, hot spot, pixels): the writer encodes it and
//   the reader must give back exactly that picture and hot spot.
// The reader hands a checked bitmap to the toolkit's ICO decoder, which keeps its colours
// premultiplied by their alpha; pictures are therefore compared premultiplied, where that
// decoder loses nothing.
#include "icon_file.h"
#include "icon_file_writer.h"

#include <QImage>
#include <cstdint>
#include <cstdlib>

using scanvale::IconFile;
using scanvale::IconFileWriter;

namespace {

[[noreturn]] void Fail(const char* what) {
    qWarning("fuzz_pointer_file: %s", what);
    std::abort();
}

bool SamePicture(const QImage& a, const QImage& b) {
    return a.convertToFormat(QImage::Format_ARGB32_Premultiplied) ==
           b.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// Writes `image` as a file of `kind` and reads it back; the reader must give it back exactly.
void RoundTrip(const QImage& image, IconFileWriter::Kind kind, QPoint hotSpot) {
    const QByteArray written = IconFileWriter::Encode(image, kind, hotSpot);
    if (written.isEmpty()) {
        Fail("the writer refused a picture of at most 256 x 256 pixels");
    }
    const IconFile read = IconFile::Parse(written);
    if (!read.IsValid()) {
        Fail("the reader refused what the writer wrote");
    }
    if (read.IsCursor() != (kind == IconFileWriter::Kind::Cursor)) {
        Fail("a cursor read back as an icon, or an icon as a cursor");
    }
    if (read.CursorHotSpot() != (read.IsCursor() ? hotSpot : QPoint())) {
        Fail("the hot spot read back differs from the one written");
    }
    if (!SamePicture(read.Image(), image)) {
        Fail("the picture read back differs from the one written");
    }
}

// The input as a hostile file.
void ReadHostile(const QByteArray& bytes) {
    const IconFile file = IconFile::Parse(bytes);
    if (!file.IsValid()) {
        return;
    }
    const QImage image = file.Image();
    if (image.width() > 256 || image.height() > 256 || image.format() != QImage::Format_ARGB32) {
        Fail("an accepted picture is larger than 256 x 256 or not ARGB32");
    }
    if (file.IsCursor() && !image.rect().contains(file.CursorHotSpot())) {
        Fail("an accepted cursor's hot spot lies outside its picture");
    }
    RoundTrip(image, file.IsCursor() ? IconFileWriter::Kind::Cursor : IconFileWriter::Kind::Icon,
              file.CursorHotSpot());
}

// The input as a picture: byte 0 the kind, bytes 1 and 2 the sides less one, bytes 3 and 4 the
// hot spot (taken modulo the sides), the rest the pixels in ARGB order, repeated as needed.
void WriteAndRead(const uint8_t* data, size_t size) {
    if (size < 5) {
        return;
    }
    const auto kind =
        (data[0] & 1) != 0 ? IconFileWriter::Kind::Cursor : IconFileWriter::Kind::Icon;
    const int width = data[1] + 1;
    const int height = data[2] + 1;
    const QPoint hotSpot(data[3] % width, data[4] % height);
    const uint8_t* pixels = data + 5;
    const size_t pixelBytes = size - 5;
    QImage image(width, height, QImage::Format_ARGB32);
    size_t at = 0;
    for (int y = 0; y < height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) {
            uint8_t argb[4] = {};
            for (uint8_t& byte : argb) {
                byte = pixelBytes == 0 ? 0 : pixels[at++ % pixelBytes];
            }
            line[x] = qRgba(argb[1], argb[2], argb[3], argb[0]);
        }
    }
    RoundTrip(image, kind, hotSpot);
}

} // namespace

// The toolkit loads its ICO decoder on first use; loading it here keeps that one-time work out of
// the first input's leak check.
extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
    QImage picture(1, 1, QImage::Format_ARGB32);
    picture.fill(Qt::transparent);
    if (!IconFile::Parse(IconFileWriter::Encode(picture, IconFileWriter::Kind::Icon)).IsValid()) {
        Fail("the toolkit's ICO decoder is missing");
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    ReadHostile(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    WriteAndRead(data, size);
    return 0;
}
