#include "pointer_image.h"

#include "icon_file.h"

#include <QFile>

namespace {

// No real pointer file comes near this; a larger file is not read at all.
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

} // namespace

PointerImage PointerImage::Load(const QString& path) {
    PointerImage pointer;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxFileSize) {
        return pointer;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (bytes.size() > kMaxFileSize) {
        return pointer;
    }
    const IconFile icon = IconFile::parse(bytes);
    if (!icon.isValid()) {
        return pointer;
    }
    pointer.m_image = icon.image();
    pointer.m_hotSpot = icon.isCursor()
                            ? icon.cursorHotSpot()
                            : QPoint(pointer.m_image.width() / 2, pointer.m_image.height() / 2);
    return pointer;
}

QCursor PointerImage::cursor() const {
    if (isNull()) {
        return QCursor();
    }
    return QCursor(pixmap(), m_hotSpot.x(), m_hotSpot.y());
}

QPixmap PointerImage::pixmap() const {
    return QPixmap::fromImage(m_image);
}
