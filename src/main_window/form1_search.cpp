// The search button: starts a run over the listed folders, or asks a running one to stop.

#include "dialogs.h"
#include "form1.h"
#include "path_text.h"
#include "picture_button.h"
#include "search/globals.h"
#include "search/search.h"
#include "window_search_host.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTableView>
#include <QTreeWidget>
#include <algorithm>
#include <string>
#include <vector>

namespace scanvale {

namespace {

const QString SearchCaption = QStringLiteral("Search!");
const QString StopCaption = QStringLiteral("Stop!");

// True when the phrase holds nothing but spaces; other white space counts as text.
bool IsBlank(const QString& phrase) {
    return std::all_of(phrase.begin(), phrase.end(), [](QChar c) { return c == u' '; });
}

// The caption is the run state; the name that assistive tools read follows it.
void SetCaption(PictureButton& button, const QString& caption) {
    button.setText(caption);
    button.setAccessibleName(caption);
}

} // namespace

// The caption of Check1 is the run state: "Search!" when no run is under way or the running one
// has been asked to stop, "Stop!" while one runs. The run executes here: the engine's workers
// make every file-system call while this thread shows what they find and handles the window's
// events in between (before each listed folder, every few milliseconds, and whenever it waits
// for the workers), so a second click arrives inside this call: it sees "Stop!" and only asks
// for the stop, or, once a stop is pending, sees "Search!" and starts a run nested inside this
// one. Globals::StopSearch is written nowhere else.
void Form1::Check1_Click() {
    PictureButton& button = *controls_.Check1;
    if (button.text() != SearchCaption) {
        SetCaption(button, SearchCaption);
        Globals::StopSearch = true;
        return;
    }
    if (IsBlank(controls_.Text1->text())) {
        services_.dialogs->ShowMessage(this, QStringLiteral("Input search for what phrase"),
                                       QStringLiteral("Message"), Dialogs::Icon::Warning,
                                       Dialogs::Buttons::Ok);
        return;
    }
    SetCaption(button, StopCaption);
    Globals::StopSearch = false;
    SetMousePointer(PointerKind::Hourglass);

    // The options are read once; changing them during the run does not change the run.
    const std::vector<std::string> ExtensionFilter{"*"}; // every file, whatever its extension
    const int16_t CompareMode = controls_.Check4->checkState() != Qt::Unchecked ? 0 : 1;
    const auto IncludeSubfolders = static_cast<int16_t>(controls_.Check5->checkState());

    QTreeWidget& folders = *controls_.ListView1;
    if (folders.topLevelItemCount() == 0) {
        services_.dialogs->ShowMessage(this, QStringLiteral("No folders added."), ApplicationTitle,
                                       Dialogs::Icon::None, Dialogs::Buttons::Ok);
        SetCaption(button, SearchCaption);
    } else {
        WindowSearchHost host(folders, *controls_.ListView2);
        // Folders may be added, moved or removed during the run: each position is read when
        // its turn comes, and a position that no longer exists ends the run's loop.
        const int n = folders.topLevelItemCount();
        for (int i = 0; i < n; ++i) {
            host.Yield();
            if (Globals::StopSearch) {
                break;
            }
            const QTreeWidgetItem* item = folders.topLevelItem(i);
            if (item == nullptr) {
                break;
            }
            // The folder's exact bytes: its name need not be UTF-8. A folder gone since it was
            // added is skipped without a message (the engine tests it off this thread: a dead
            // network share must not hold the window).
            const QByteArray folder = ItemPathBytes(*item);
            // The phrase is read anew for each folder, untrimmed.
            const QByteArray phrase = controls_.Text1->text().toUtf8();
            Search::SearchFolder(folder.toStdString(), ExtensionFilter, phrase.toStdString(),
                                 CompareMode, IncludeSubfolders, host);
        }
        // What the host still holds from the last folder goes into the lists first: put there
        // later, its progress text would cover the header set here.
        host.Apply();
        folders.headerItem()->setText(0, QStringLiteral("Folder(s)"));
        host.PaintNow();
        services_.dialogs->ShowMessage(this, QStringLiteral("Done."), ApplicationTitle,
                                       Dialogs::Icon::None, Dialogs::Buttons::Ok);
        SetCaption(button, SearchCaption);
    }
    Globals::StopSearch = true;
    SetMousePointer(PointerKind::Default);
}

} // namespace scanvale
