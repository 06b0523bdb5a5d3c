#include "desktop_opener.h"

#include "result_path.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <mutex>
#include <sys/stat.h>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace scanvale {

namespace {

const QString Opener = QStringLiteral("xdg-open");

// What xdg-open's documented exit statuses mean for the user.
QString ReasonForStatus(int status) {
    switch (status) {
    case 2:
        return QStringLiteral("it does not exist");
    case 3:
        return QStringLiteral("the desktop lacks a program it needs to open it");
    case 4:
        return QStringLiteral("no application could open it");
    case 5:
        return QStringLiteral("permission to read it was refused");
    default:
        return QStringLiteral("%1 ended with status %2").arg(Opener).arg(status);
    }
}

} // namespace

// What a lookup thread shares with the opener: the opener, while it lives. A thread posts its
// answer with the lock held, so the opener either is still there to receive it (a call posted
// to an object is dropped with the object) or has cleared the pointer first.
struct DesktopOpener::Link {
    std::mutex mutex;
    DesktopOpener* opener = nullptr;
};

DesktopOpener::DesktopOpener(FailureHandler onFailure, QObject* parent)
    : QObject(parent), onFailure_(std::move(onFailure)), link_(std::make_shared<Link>()) {
    link_->opener = this;
}

DesktopOpener::~DesktopOpener() {
    const std::lock_guard lock(link_->mutex);
    link_->opener = nullptr;
}

void DesktopOpener::Open(const QByteArray& path) {
    // A result may have been moved or deleted since it was listed; say so in the system's words
    // rather than the opener's. The lookup runs on a thread of its own that nothing waits for:
    // not the pool's, which the application waits for on its way out.
    try {
        std::thread([link = link_, path] {
            struct stat status {};
            const int error = ::stat(path.constData(), &status) == 0 ? 0 : errno;
            const std::lock_guard lock(link->mutex);
            if (DesktopOpener* opener = link->opener) {
                QMetaObject::invokeMethod(
                    opener, [opener, path, error] { opener->LookedUp(path, error); },
                    Qt::QueuedConnection);
            }
        }).detach();
    } catch (const std::system_error& e) {
        onFailure_(path, QString::fromLocal8Bit(e.code().message()));
        return;
    }
    ++lookups_;
}

void DesktopOpener::LookedUp(const QByteArray& path, int error) {
    --lookups_;
    if (error != 0) {
        onFailure_(path, QString::fromLocal8Bit(std::strerror(error)));
        return;
    }
    const QString opener = QStandardPaths::findExecutable(Opener);
    if (!opener.isEmpty()) {
        Run(opener, path);
        return;
    }
    if (!QDesktopServices::openUrl(FileUrl(path))) {
        onFailure_(path, QStringLiteral("no program that opens files was found"));
    }
}

void DesktopOpener::Run(const QString& opener, const QByteArray& path) {
    auto* process = new QProcess(this); // deleted once it has finished
    process->setProgram(opener);
    // The encoded URL is ASCII, so the path's bytes reach the opener whatever they are.
    process->setArguments({QString::fromLatin1(FileUrl(path).toEncoded())});
    // The application the opener starts may outlive this program and write to its output at any
    // time: it gets no pipe that could break, but this program's own output and no input.
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    // Its own session, as a detached start would give it: a signal to this program's terminal
    // does not end the application that was opened.
    process->setChildProcessModifier([] { ::setsid(); });
    connect(process, &QProcess::finished, this,
            [this, process, path] { Finished(*process, path); });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, path](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart) {
                    onFailure_(path, Opener + QStringLiteral(" could not be started: ") +
                                         process->errorString());
                    process->deleteLater();
                }
            });
    process->start();
}

void DesktopOpener::Finished(QProcess& process, const QByteArray& path) {
    process.deleteLater();
    if (process.exitStatus() == QProcess::CrashExit) {
        onFailure_(path, Opener + QStringLiteral(" stopped unexpectedly"));
    } else if (process.exitCode() != 0) {
        onFailure_(path, ReasonForStatus(process.exitCode()));
    }
}

} // namespace scanvale
