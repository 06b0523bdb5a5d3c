// Scanvale: finds the files whose contents hold a phrase. The program is its one window;
// closing the window ends the process.

#include "end_process.h"
#include "form1.h"
#include "home_page.h"
#include "qt_dialogs.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char* argv[]) {
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
