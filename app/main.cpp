// Scanvale: finds the files whose contents hold a phrase. The program is its one window;
// closing the window ends the process.

#include "end_process.h"
#include "form1.h"
#include "home_page.h"
#include "qt_dialogs.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLibraryInfo>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// The toolkit aborts with a long plug-in report when it finds no screen to show the window on;
// a user deserves one plain sentence and what to do instead. This is the program's one test for
// a display (`make run` starts the program and leaves it to this): it asks what the toolkit
// would try, in its order, and whether any of it can come up. A platform named in
// QT_QPA_PLATFORM other than Wayland and X11 (offscreen, vnc, ...) brings its own screen.
enum class Screen {
    Usable,
    None,               // neither a Wayland nor an X11 display is named
    WaylandSilent,      // the Wayland display named does not answer, and there is no X11 one
    WaylandUnsupported, // the Wayland display answers, but Qt's Wayland platform is missing
};

// The socket the Wayland client library connects to: WAYLAND_DISPLAY (wayland-0 when unset),
// an absolute path or a name in XDG_RUNTIME_DIR.
QString WaylandSocketPath() {
    const QString name = qEnvironmentVariable("WAYLAND_DISPLAY", QStringLiteral("wayland-0"));
    if (name.startsWith(QLatin1Char('/'))) {
        return name;
    }
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return runtime.isEmpty() ? QString() : runtime + QLatin1Char('/') + name;
}

bool WaylandAnswers() {
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET")) {
        return true; // a connection handed over by the program's parent
    }
    const QByteArray path = QFile::encodeName(WaylandSocketPath());
    sockaddr_un address{};
    if (path.isEmpty() || static_cast<size_t>(path.size()) >= sizeof(address.sun_path)) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, path.constData(), static_cast<size_t>(path.size()));
    const int socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (socket < 0) {
        return false;
    }
    const bool connected =
        ::connect(socket, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0;
    ::close(socket);
    return connected;
}

// Whether Qt's Wayland platform plugin is where the toolkit looks for platform plugins.
bool WaylandPluginInstalled() {
    QStringList folders{QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                        QStringLiteral("/platforms")};
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM_PLUGIN_PATH")) {
        folders << qEnvironmentVariable("QT_QPA_PLATFORM_PLUGIN_PATH");
    }
    for (const QString& folder :
         qEnvironmentVariable("QT_PLUGIN_PATH").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        folders << folder + QStringLiteral("/platforms");
    }
    return std::any_of(folders.begin(), folders.end(), [](const QString& folder) {
        return !QDir(folder).entryList({QStringLiteral("libqwayland-*.so")}, QDir::Files).isEmpty();
    });
}

Screen FindScreen() {
    // The platforms the toolkit tries: those QT_QPA_PLATFORM lists, or else Wayland where the
    // session names it, then X11.
    QStringList platforms;
    for (const QString& entry :
         qEnvironmentVariable("QT_QPA_PLATFORM").split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        platforms << entry.section(QLatin1Char(':'), 0, 0).trimmed();
    }
    if (platforms.isEmpty()) {
        if (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
            qEnvironmentVariable("XDG_SESSION_TYPE") == QStringLiteral("wayland")) {
            platforms << QStringLiteral("wayland");
        }
        platforms << QStringLiteral("xcb");
    }
    Screen found = Screen::None;
    for (const QString& platform : platforms) {
        if (platform.startsWith(QStringLiteral("wayland"))) {
            if (!WaylandAnswers()) {
                found = Screen::WaylandSilent;
            } else if (!WaylandPluginInstalled()) {
                found = Screen::WaylandUnsupported;
            } else {
                return Screen::Usable;
            }
        } else if (platform != QStringLiteral("xcb") || !qEnvironmentVariableIsEmpty("DISPLAY")) {
            return Screen::Usable;
        }
    }
    return found;
}

void SayWhyNoWindow(Screen screen, const char* program) {
    const QByteArray wayland = QFile::encodeName(WaylandSocketPath());
    switch (screen) {
    case Screen::WaylandUnsupported:
        std::fprintf(stderr,
                     "Scanvale cannot show its window on this session's Wayland display: Qt's "
                     "Wayland support is not installed (sudo apt-get install qt6-wayland), and "
                     "there is no X11 display (DISPLAY is not set).\n");
        return;
    case Screen::WaylandSilent:
        std::fprintf(stderr,
                     "Scanvale needs a graphical desktop, and this session has none that answers "
                     "(the Wayland display %s does not, and DISPLAY is not set).\n",
                     wayland.isEmpty() ? "named in WAYLAND_DISPLAY" : wayland.constData());
        break;
    default:
        std::fprintf(stderr, "Scanvale needs a graphical desktop, and this session has none "
                             "(DISPLAY is not set).\n");
        break;
    }
    std::fprintf(stderr,
                 "On a machine without a screen, run it inside a virtual X server: xvfb-run -a "
                 "%s\n",
                 program);
}

} // namespace

int main(int argc, char* argv[]) {
    if (const Screen screen = FindScreen(); screen != Screen::Usable) {
        SayWhyNoWindow(screen, argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scanvale"));
    // The desktop matches the window to its menu entry and icon by this name (the Wayland app
    // id; on X11 Qt announces it too).
    QApplication::setDesktopFileName(QStringLiteral(SCANVALE_APP_ID));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/assets/scanvale.svg")));

    scanvale::QtDialogs dialogs;
    scanvale::Form1 form({.dialogs = &dialogs,
                          .maybeOpenHomePage = [] { scanvale::MaybeOpenHomePage(); },
                          .endProcess = [] { scanvale::EndProcess(); },
                          .pointerImageFolder = QString()});
    form.Form_Load();
    form.show();
    return QApplication::exec();
}
