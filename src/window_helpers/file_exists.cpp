#include "file_exists.h"

#include <QFile>
#include <sys/stat.h>

namespace scanvale {

bool FileExists(const QString& path) noexcept {
    if (path.isEmpty()) {
        return false;
    }
    const QByteArray native = QFile::encodeName(path);
    // A path with an embedded NUL would be cut short by stat(); it names nothing.
    if (native.contains('\0')) {
        return false;
    }
    struct stat status {};
    return ::stat(native.constData(), &status) == 0;
}

bool FolderExists(const QByteArray& path) noexcept {
    struct stat status {};
    return !path.isEmpty() && !path.contains('\0') && ::stat(path.constData(), &status) == 0 &&
           S_ISDIR(status.st_mode);
}

} // namespace scanvale
