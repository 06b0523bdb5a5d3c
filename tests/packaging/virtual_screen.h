#pragma once

#include <QProcess>
#include <QString>

namespace scanvale::test {

// A private X server (Xvfb) for the test's own programs. The server picks a free display
// number itself and reports it, so several test runs on one machine never collide.
class VirtualScreen {
public:
    VirtualScreen() = default;
    ~VirtualScreen();
    VirtualScreen(const VirtualScreen&) = delete;
    VirtualScreen& operator=(const VirtualScreen&) = delete;

    // Starts the server with one screen of the given size; false when it does not come up
    // within the timeout.
    bool Start(int width, int height, int timeoutMs = 20000);

    // The DISPLAY value of the server, such as ":7"; empty before Start succeeds.
    QString Display() const { return display_; }

private:
    QProcess server_;
    QString display_;
};

} // namespace scanvale::test
