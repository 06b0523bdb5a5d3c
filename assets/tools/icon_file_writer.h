#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

namespace scanvale {

// Encodes one image as a Windows icon (.ico) or cursor (.cur) file: a one-entry directory
// followed by a 32-bit BGRA bitmap (bottom-up rows) and its 1-bit AND mask. Fully transparent
// pixels are set in the mask, so readers that ignore the alpha channel still see the shape.
class IconFileWriter {
public:
    enum class Kind { Icon, Cursor };

    // Returns an empty array when the image is null or larger than 256 x 256 (the directory
    // stores each side in one byte, 0 meaning 256). The hot spot is stored for cursors only.
    static QByteArray Encode(const QImage& image, Kind kind, QPoint hotSpot = {});
};

} // namespace scanvale
