#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>
#include <memory>

class QProcess;

namespace scanvale {

// Opens files and folders with the desktop's default application for their type, without
// waiting for it, and says when that failed.
//
// On a Linux desktop session the opener is xdg-open, the same program the toolkit's URL opening
// starts. The toolkit's call only reports that the opener started, not that it opened anything;
// so xdg-open is run here and its exit status read when it comes. It may come late: where no
// desktop is detected, xdg-open waits for the application it started. A failure is reported
// whenever it arrives; a run still under way counts as success. Only without xdg-open is the
// toolkit's call used, and its refusal reported.
//
// Before anything is started the path is looked up, off the window's thread: on a network share
// that stopped answering the lookup may never return, and the window must not wait for it.
class DesktopOpener : public QObject {
    Q_OBJECT

public:
    // Receives the path that could not be opened and why, in words that fit "...: <reason>.".
    using FailureHandler = std::function<void(const QByteArray& path, const QString& reason)>;

    explicit DesktopOpener(FailureHandler onFailure, QObject* parent = nullptr);
    // A lookup still under way when the opener goes is let finish; its answer is dropped.
    ~DesktopOpener() override;

    // Asks the desktop to open the file or folder at the absolute `path` (its exact bytes) and
    // returns at once, without touching the file system. A path that cannot be looked up is
    // reported, with the system's reason, once the lookup has answered; one that can is then
    // handed to the desktop.
    void Open(const QByteArray& path);

    // True while a path asked for is still being looked up.
    bool LookingUp() const { return lookups_ > 0; }

private:
    struct Link;

    void LookedUp(const QByteArray& path, int error);
    void Run(const QString& opener, const QByteArray& path);
    void Finished(QProcess& process, const QByteArray& path);

    FailureHandler onFailure_;
    // Shared with the lookup threads, which outlive the opener when a lookup stalls.
    std::shared_ptr<Link> link_;
    int lookups_ = 0;
};

} // namespace scanvale
