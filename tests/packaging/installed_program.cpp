#include "installed_program.h"

#include "tool_run.h"

#include <QFile>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTest>
#include <csignal>
#include <sys/types.h>

namespace scanvale::test {

namespace {

// The program starts as from a desktop's menu: on the test's display, with no platform or
// scale chosen for it.
QProcessEnvironment ProgramEnvironment(const QString& scale) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("QT_SCALE_FACTOR"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (!scale.isEmpty()) {
        environment.insert(QStringLiteral("QT_SCALE_FACTOR"), scale);
    }
    return environment;
}

} // namespace

InstalledProgram::~InstalledProgram() {
    // Ending the traced program ends strace with it.
    const qint64 pid = windowId_.isEmpty() ? 0 : ProcessId();
    if (pid > 0) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
    if (tracer_.state() != QProcess::NotRunning && !tracer_.waitForFinished(10000)) {
        tracer_.kill();
        tracer_.waitForFinished();
    }
}

bool InstalledProgram::Start(const QString& command, const QString& scale, const QString& title,
                             int timeoutMs) {
    tracer_.setProcessEnvironment(ProgramEnvironment(scale));
    tracer_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tracer_.setStandardOutputFile(QProcess::nullDevice());
    tracer_.start(QStringLiteral("strace"),
                  {QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-e"),
                   QStringLiteral("trace=openat"), QStringLiteral("-o"),
                   traceDir_.filePath(QStringLiteral("trace")), command});
    if (!tracer_.waitForStarted()) {
        return false;
    }
    const QProcessEnvironment environment = ProgramEnvironment(scale);
    const QString pattern = QLatin1Char('^') + QRegularExpression::escape(title) + QLatin1Char('$');
    return QTest::qWaitFor(
               [&] {
                   if (tracer_.state() == QProcess::NotRunning) {
                       return true; // the program ended before showing a window
                   }
                   const ToolResult found =
                       RunTool(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                QStringLiteral("--name"), pattern},
                               10000, environment);
                   windowId_ = found.exitCode == 0 ? found.output.section(QLatin1Char('\n'), 0, 0)
                                                   : QString();
                   return !windowId_.isEmpty();
               },
               timeoutMs) &&
           !windowId_.isEmpty();
}

QSize InstalledProgram::WindowSize() const {
    const ToolResult geometry =
        RunTool(QStringLiteral("xdotool"),
                {QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), windowId_}, 10000,
                ProgramEnvironment(QString()));
    const QRegularExpression width(QStringLiteral("^WIDTH=(\\d+)$"),
                                   QRegularExpression::MultilineOption);
    const QRegularExpression height(QStringLiteral("^HEIGHT=(\\d+)$"),
                                    QRegularExpression::MultilineOption);
    const QRegularExpressionMatch w = width.match(geometry.output);
    const QRegularExpressionMatch h = height.match(geometry.output);
    if (!w.hasMatch() || !h.hasMatch()) {
        return {};
    }
    return {w.captured(1).toInt(), h.captured(1).toInt()};
}

qint64 InstalledProgram::ProcessId() const {
    const ToolResult pid =
        RunTool(QStringLiteral("xdotool"), {QStringLiteral("getwindowpid"), windowId_}, 10000,
                ProgramEnvironment(QString()));
    return pid.exitCode == 0 ? pid.output.trimmed().toLongLong() : 0;
}

bool InstalledProgram::Opened(const QString& path) const {
    QFile trace(traceDir_.filePath(QStringLiteral("trace")));
    if (!trace.open(QIODevice::ReadOnly)) {
        return false;
    }
    // A successful open returns a descriptor; a failed one returns -1 and names the error.
    const QRegularExpression open(QStringLiteral("openat\\(AT_FDCWD, \"%1\", [^)]*\\) = \\d+")
                                      .arg(QRegularExpression::escape(path)));
    return open.match(QString::fromLocal8Bit(trace.readAll())).hasMatch();
}

} // namespace scanvale::test
