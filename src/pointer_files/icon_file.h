#pragma once

#include <QByteArray>
#include <QImage>
#include <QPoint>

namespace scanvale {

// One Windows icon (.ico) or cursor (.cur) file, read from untrusted bytes.
//
// parse() checks every field it uses against the bytes it was given: the directory must fit,
// the chosen image must lie wholly inside the file, a bitmap's header, palette, pixel rows and
// mask must fit inside that image, and no side may exceed 256 pixels. Anything else gives an
// invalid IconFile. Of several images the largest is chosen (for icons, the deepest of equal size).
class IconFile {
public:
    static IconFile parse(const QByteArray& bytes);

    bool isValid() const { return !m_image.isNull(); }
    bool isCursor() const { return m_cursor; }
    // The decoded image, in ARGB32; null when the file is invalid.
    QImage image() const { return m_image; }
    // A cursor's hot spot from its directory entry, always inside the image; (0, 0) for icons.
    QPoint cursorHotSpot() const { return m_hotSpot; }

private:
    QImage m_image;
    QPoint m_hotSpot;
    bool m_cursor = false;
};

} // namespace scanvale
