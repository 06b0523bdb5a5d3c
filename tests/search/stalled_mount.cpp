#include "stalled_mount.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QThread>

namespace scanvale::test {

StalledMount::StalledMount() {
    if (!QFileInfo::exists(QStringLiteral("/dev/fuse"))) {
        error_ = QStringLiteral("there is no /dev/fuse");
        return;
    }
    if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty()) {
        error_ = QStringLiteral("fusermount3 is missing (Debian package fuse3)");
        return;
    }
    if (QProcess::execute(QStringLiteral("/usr/bin/python3"),
                          {QStringLiteral("-c"), QStringLiteral("import fusepy")}) != 0) {
        error_ = QStringLiteral("/usr/bin/python3 cannot import fusepy (Debian package "
                                "python3-fusepy)");
        return;
    }
    server_.setProcessChannelMode(QProcess::MergedChannels);
    server_.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral(SCANVALE_STALL_FS), mount_.path(), control_.path()});
    // Mounted once its files show.
    const QDeadlineTimer deadline(10000);
    while (!QFileInfo::exists(mount_.filePath(QStringLiteral("b.txt")))) {
        if (server_.state() == QProcess::NotRunning || deadline.hasExpired()) {
            server_.kill();
            server_.waitForFinished();
            error_ = QStringLiteral("the FUSE file system did not mount: ") +
                     QString::fromLocal8Bit(server_.readAll()).trimmed();
            return;
        }
        QThread::msleep(10);
    }
    mounted_ = true;
}

StalledMount::~StalledMount() {
    Release();
    if (mounted_) {
        QProcess::execute(QStringLiteral("fusermount3"),
                          {QStringLiteral("-u"), QStringLiteral("-z"), mount_.path()});
    }
    if (server_.state() != QProcess::NotRunning && !server_.waitForFinished(5000)) {
        server_.kill();
        server_.waitForFinished();
    }
}

std::string StalledMount::Path(const std::string& relative) const {
    return QFile::encodeName(mount_.path()).toStdString() + "/" + relative;
}

bool StalledMount::ReadStalled() const {
    return QFileInfo::exists(control_.filePath(QStringLiteral("stalled-read")));
}

bool StalledMount::LookupStalled() const {
    return QFileInfo::exists(control_.filePath(QStringLiteral("stalled-lookup")));
}

void StalledMount::Release() {
    QFile release(control_.filePath(QStringLiteral("release")));
    release.open(QIODevice::WriteOnly);
}

} // namespace scanvale::test
