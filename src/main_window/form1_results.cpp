// The results buttons of the main window: "Save Results To Text File" and "Clear Results".

#include "dialogs.h"
#include "file_exists.h"
#include "form1.h"
#include "picture_button.h"
#include "results_file.h"
#include "results_model.h"

#include <QCoreApplication>
#include <QTableView>

namespace scanvale {

void Form1::Check2_Click() {
    if (!controls_.Check2->TakePress()) {
        return;
    }
    const QString name = services_.dialogs->SaveFileName(
        this, QStringLiteral("Save List"),
        {QStringLiteral("Text Files (*.txt)"), QStringLiteral("All Files (*.*)")});
    if (name.isEmpty()) {
        return;
    }
    if (FileExists(name) &&
        services_.dialogs->ShowMessage(this,
                                       QStringLiteral("Are you sure you wish to overwrite ") +
                                           name + QStringLiteral(" ?"),
                                       ApplicationTitle, Dialogs::Icon::None,
                                       Dialogs::Buttons::YesNo) != Dialogs::Answer::Yes) {
        return;
    }

    SetMousePointer(PointerKind::Hourglass);
    ResultsFile file(name, activeSaves_);
    // The exact path bytes of every result, in list order. The save writes this copy, so a
    // clear or new results during its yields do not change what it writes.
    const QList<QByteArray> paths = RowsOf(*controls_.ListView2).Paths();
    switch (file.Write(paths, [] { QCoreApplication::processEvents(); })) {
    case ResultsFile::Outcome::Saved:
        services_.dialogs->ShowMessage(this, QStringLiteral("Done."), ApplicationTitle,
                                       Dialogs::Icon::None, Dialogs::Buttons::Ok);
        break;
    case ResultsFile::Outcome::Failed:
        services_.dialogs->ShowMessage(this,
                                       QStringLiteral("Could not save the results to ") + name +
                                           QStringLiteral(": ") + file.Reason() + QLatin1Char('.'),
                                       ApplicationTitle, Dialogs::Icon::Warning,
                                       Dialogs::Buttons::Ok);
        break;
    case ResultsFile::Outcome::Abandoned:
        // The window is closing; the process ends as soon as this returns to the close.
        break;
    }
    SetMousePointer(PointerKind::Default);
}

void Form1::Check6_Click() {
    if (!controls_.Check6->TakePress()) {
        return;
    }
    // The column, its "Results" header and its width stay.
    RowsOf(*controls_.ListView2).Clear();
}

} // namespace scanvale
