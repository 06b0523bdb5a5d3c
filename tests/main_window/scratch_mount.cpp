#include "scratch_mount.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sys/mount.h>

namespace scanvale::test {

ScratchMount::ScratchMount(int sizeKiB) {
    if (!dir_.isValid()) {
        error_ = QStringLiteral("no temporary folder to mount on");
        return;
    }
    const QByteArray options = "size=" + QByteArray::number(sizeKiB) + "k,mode=0755";
    if (::mount("scanvale-test", QFile::encodeName(Path()).constData(), "tmpfs", 0,
                options.constData()) != 0) {
        error_ = QStringLiteral("cannot mount a tmpfs: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    mounted_ = true;
}

ScratchMount::~ScratchMount() {
    if (mounted_) {
        // Lazy, so that a file a failed test left open cannot keep the mount alive.
        ::umount2(QFile::encodeName(Path()).constData(), MNT_DETACH);
    }
}

bool ScratchMount::MakeReadOnly() {
    if (::mount(nullptr, QFile::encodeName(Path()).constData(), nullptr, MS_REMOUNT | MS_RDONLY,
                nullptr) != 0) {
        error_ = QStringLiteral("cannot remount read-only: %1")
                     .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    return true;
}

} // namespace scanvale::test
