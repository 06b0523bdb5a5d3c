#include "pointer_image.h"

#include "icon_file.h"

#include <QFile>
#include <QScopeGuard>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scanvale {

namespace {

// No real pointer file comes near this; a larger file is not read at all.
constexpr qint64 MaxFileSize = 4 * 1024 * 1024;

// The contents of `path` when it is a regular file of at most MaxFileSize bytes; empty for
// anything else. Nothing else is even opened: opening a FIFO waits for a writer that may never
// come, and a device may have no end. The open itself does not wait either, should the name
// have been replaced by something else in the meantime.
QByteArray ReadRegularFile(const QString& path) {
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (name.isEmpty() || ::stat(name.constData(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return {};
    }
    const int file = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (file < 0) {
        return {};
    }
    const auto close = qScopeGuard([file] { ::close(file); });
    if (::fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size > MaxFileSize) {
        return {};
    }
    // The length is taken once: a file that grows meanwhile is read up to it.
    QByteArray bytes(static_cast<qsizetype>(status.st_size), Qt::Uninitialized);
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t got =
            ::read(file, bytes.data() + done, static_cast<size_t>(bytes.size() - done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace

PointerImage PointerImage::Load(const QString& path) {
    PointerImage pointer;
    const QByteArray bytes = ReadRegularFile(path);
    if (bytes.isEmpty()) {
        return pointer;
    }
    const IconFile icon = IconFile::Parse(bytes);
    if (!icon.IsValid()) {
        return pointer;
    }
    pointer.image_ = icon.Image();
    pointer.hotSpot_ = icon.IsCursor()
                           ? icon.CursorHotSpot()
                           : QPoint(pointer.image_.width() / 2, pointer.image_.height() / 2);
    return pointer;
}

QCursor PointerImage::Cursor() const {
    if (IsNull()) {
        return QCursor();
    }
    return QCursor(Pixmap(), hotSpot_.x(), hotSpot_.y());
}

QPixmap PointerImage::Pixmap() const {
    return QPixmap::fromImage(image_);
}

} // namespace scanvale
