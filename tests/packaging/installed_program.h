#pragma once

#include <QProcess>
#include <QSize>
#include <QString>
#include <QTemporaryDir>

namespace scanvale::test {

// One start of an installed program on the test's display, under strace so the test can see
// which files the program opened. The program is ended when the object goes.
class InstalledProgram {
public:
    InstalledProgram() = default;
    ~InstalledProgram();
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;

    // Starts the command, with QT_SCALE_FACTOR set when scale is not empty, and waits for a
    // visible window with the given title. False when none appears in time.
    bool Start(const QString& command, const QString& scale, const QString& title,
               int timeoutMs = 30000);

    // The window's size in physical pixels; empty when it cannot be read.
    QSize WindowSize() const;
    // The process that owns the window, as the window reports it.
    qint64 ProcessId() const;
    // Whether the program opened this file successfully so far.
    bool Opened(const QString& path) const;

private:
    QProcess tracer_;
    QTemporaryDir traceDir_;
    QString windowId_;
};

} // namespace scanvale::test
