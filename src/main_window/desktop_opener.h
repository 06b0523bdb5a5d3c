#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <functional>

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
class DesktopOpener : public QObject {
    Q_OBJECT

public:
    // Receives the path that could not be opened and why, in words that fit "...: <reason>.".
    using FailureHandler = std::function<void(const QByteArray& path, const QString& reason)>;

    explicit DesktopOpener(FailureHandler onFailure, QObject* parent = nullptr);

    // Asks the desktop to open the file or folder at the absolute `path` (its exact bytes) and
    // returns at once. A path that cannot be looked up is reported at once, with the system's
    // reason.
    void Open(const QByteArray& path);

private:
    void Run(const QString& opener, const QByteArray& path);
    void Finished(QProcess& process, const QByteArray& path);

    FailureHandler onFailure_;
};

} // namespace scanvale
