#pragma once

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QString>

namespace scanvale {

// A pointer picture loaded from a Windows cursor (.cur) or icon (.ico) file.
//
// A cursor's hot spot is the one its directory entry names. An icon has no hot spot of its
// own; its centre is used, which suits the drag pointer's four-way arrow and keeps any
// centred picture under the mouse.
//
// Load() never fails loudly and never waits: a missing, unreadable, oversized, foreign (not
// ICO/CUR), truncated or corrupt file gives a null PointerImage, and so does anything that is
// not a regular file (a FIFO, a device, a folder), which is not read at all. Every header field is
// checked before it is used, so hostile bytes cannot make it read outside the file.
class PointerImage {
public:
    static PointerImage Load(const QString& path);

    bool IsNull() const { return image_.isNull(); }
    // The image with its hot spot; the default arrow when null. Needs a QGuiApplication.
    QCursor Cursor() const;
    // Needs a QGuiApplication; a null pixmap when the image is null.
    QPixmap Pixmap() const;
    QImage Image() const { return image_; }
    QPoint HotSpot() const { return hotSpot_; }

private:
    QImage image_;
    QPoint hotSpot_;
};

} // namespace scanvale
