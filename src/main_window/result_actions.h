#pragma once

#include "desktop_opener.h"
#include "file_manager.h"

#include <QByteArray>
#include <QObject>
#include <QPoint>

class QKeyEvent;
class QMenu;
class QModelIndex;
class QTableView;

namespace scanvale {

class Dialogs;
class ResultsModel;

// What the user can do with a listed result, from the keyboard and a context menu:
// - Enter on the selected result opens it with the desktop's default application;
// - Ctrl+C copies the selected result's path (its exact bytes as text, and as a file URL);
// - a right-click on a result, or the menu key or Shift+F10 on the selected one, offers "Open",
//   "Open Containing Folder" and "Copy Path". A right-click where no result is offers nothing.
// A double-click and a drag on the list do nothing, and neither does moving over it: the window's
// pointer is left as it was. None of this changes the list; the menu does not wait for a choice,
// so a search under way goes on while it is open. A file the desktop cannot open is reported in
// a message box naming the file and the reason. Every action takes the result's exact path
// bytes from the list's model, never its shown text.
class ResultActions : public QObject {
    Q_OBJECT

public:
    // Acts on the results of `list`, a view of a ResultsModel, by which it is owned; asks
    // through `dialogs`, which must outlive it.
    ResultActions(QTableView& list, Dialogs& dialogs);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool KeyPressed(const QKeyEvent& key);
    // The selected result's index; an invalid one when none is selected.
    QModelIndex SelectedResult() const;
    void PopUpMenuForSelected();
    void PopUpMenu(const QByteArray& path, QPoint globalPosition);
    static void CopyPath(const QByteArray& path);
    void ReportFailure(const QByteArray& path, const QString& reason);

    QTableView& list_;
    const ResultsModel& rows_;
    // The list's viewport, whose mouse-made menu requests come here. Only compared, never asked:
    // it may be on its way out while the list is being destroyed.
    const QObject* viewport_;
    Dialogs& dialogs_;
    // Also this object's children, so that the openers they run belong to the window's object
    // tree like everything else the window starts.
    DesktopOpener opener_;
    FileManager fileManager_{opener_, this};
    QMenu* menu_;
    // The path of the result the menu was opened for, kept as bytes: the list may change while
    // the menu is open.
    QByteArray menuPath_;
};

} // namespace scanvale
