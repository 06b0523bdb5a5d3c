#include "virtual_screen.h"

#include <QDeadlineTimer>

namespace scanvale::test {

VirtualScreen::~VirtualScreen() {
    if (server_.state() != QProcess::NotRunning) {
        server_.terminate();
        if (!server_.waitForFinished(5000)) {
            server_.kill();
            server_.waitForFinished();
        }
    }
}

bool VirtualScreen::Start(int width, int height, int timeoutMs) {
    // -displayfd 1: the server writes the display number it chose to its standard output once
    // it accepts connections. -noreset: the server stays up between one program and the next
    // instead of resetting, and refusing connections, when its last client leaves.
    server_.setProcessChannelMode(QProcess::SeparateChannels);
    server_.setStandardErrorFile(QProcess::nullDevice());
    server_.start(QStringLiteral("Xvfb"),
                  {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                   QStringLiteral("0"), QStringLiteral("%1x%2x24").arg(width).arg(height),
                   QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-noreset")});
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray reported;
    while (!reported.contains('\n')) {
        if (deadline.hasExpired() || server_.state() == QProcess::NotRunning ||
            !server_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            return false;
        }
        reported += server_.readAllStandardOutput();
    }
    display_ = QLatin1Char(':') + QString::fromLatin1(reported.trimmed());
    return true;
}

} // namespace scanvale::test
