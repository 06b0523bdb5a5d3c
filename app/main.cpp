// Scanvale: finds the files whose contents hold a phrase. The program is its one window;
// closing the window ends the process.

#include "end_process.h"
#include "form1.h"
#include "home_page.h"
#include "qt_dialogs.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>

namespace {

// The toolkit aborts with a long plug-in report when there is no screen to show the window
// on; a user deserves one plain sentence and what to do instead. A platform named in
// QT_QPA_PLATFORM (offscreen, vnc, ...) brings its own screen, so it counts as one. This is the
// program's one test for a display: `make run` starts the program and leaves it to this.
bool HasDisplay() {
    return !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
           !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
}

} // namespace

int main(int argc, char* argv[]) {
    if (!HasDisplay()) {
        std::fprintf(stderr,
                     "Scanvale needs a graphical desktop, and this session has none "
                     "(DISPLAY is not set).\nOn a machine without a screen, run it inside "
                     "a virtual X server: xvfb-run -a %s\n",
                     argv[0]);
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Scanvale"));
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
