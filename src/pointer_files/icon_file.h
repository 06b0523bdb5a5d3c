#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

namespace scanvale {

// One Windows icon (.ico) or cursor (.cur) file, read from untrusted bytes.
//
// Parse() checks every field it uses against the bytes it was given: the directory must fit,
// the chosen image must lie wholly inside the file, a bitmap's header, palette, pixel rows and
// mask must fit inside that image, and no side may exceed 256 pixels. Anything else gives an
// invalid IconFile. Of several images the largest is chosen (for icons, the deepest of equal size).
class IconFile {
public:
    static IconFile Parse(const QByteArray& bytes);

    bool IsValid() const { return !image_.isNull(); }
    bool IsCursor() const { return cursor_; }
    // The decoded image, in ARGB32; null when the file is invalid.
    QImage Image() const { return image_; }
    // A cursor's hot spot from its directory entry, always inside the image; (0, 0) for icons.
    QPoint CursorHotSpot() const { return hotSpot_; }

private:
    QImage image_;
    QPoint hotSpot_;
    bool cursor_ = false;
};

} // namespace scanvale
