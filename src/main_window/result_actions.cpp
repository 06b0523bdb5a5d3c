#include "result_actions.h"

#include "dialogs.h"
#include "form1.h"
#include "path_text.h"
#include "result_path.h"
#include "results_model.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QKeyEvent>
#include <QMenu>
#include <QTableView>

namespace scanvale {

ResultActions::ResultActions(QTableView& list, Dialogs& dialogs)
    : QObject(&list), list_(list), rows_(RowsOf(list)), viewport_(list.viewport()),
      dialogs_(dialogs), opener_([this](const QByteArray& path,
                                        const QString& reason) { ReportFailure(path, reason); },
                                 this),
      menu_(new QMenu(&list)) { // owned by the list
    menu_->setObjectName(QStringLiteral("ResultMenu"));
    const auto add = [this](const char* theme, const char* text, auto action) {
        connect(menu_->addAction(QIcon::fromTheme(QString::fromLatin1(theme)),
                                 QString::fromLatin1(text)),
                &QAction::triggered, this, action);
    };
    add("document-open", "Open", [this] { opener_.Open(menuPath_); });
    add("folder-open", "Open Containing Folder", [this] { fileManager_.ShowItem(menuPath_); });
    add("edit-copy", "Copy Path", [this] { CopyPath(menuPath_); });
    list.installEventFilter(this);
    list.viewport()->installEventFilter(this);
}

bool ResultActions::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && watched == &list_) {
        return KeyPressed(*static_cast<QKeyEvent*>(event));
    }
    if (event->type() != QEvent::ContextMenu) {
        return false;
    }
    const auto* request = static_cast<QContextMenuEvent*>(event);
    // The menu key reaches the list, which has the focus; a right-click reaches its viewport, at
    // the pointer.
    if (watched == &list_ && request->reason() == QContextMenuEvent::Keyboard) {
        PopUpMenuForSelected();
        return true;
    }
    if (watched == viewport_ && request->reason() == QContextMenuEvent::Mouse) {
        if (const QModelIndex result = list_.indexAt(request->pos()); result.isValid()) {
            PopUpMenu(rows_.Path(result.row()), request->globalPos());
        }
        return true;
    }
    return false;
}

bool ResultActions::KeyPressed(const QKeyEvent& key) {
    if (key.matches(QKeySequence::Copy)) {
        // The list's own copy would take the shown text, which escapes bytes that are not UTF-8.
        if (const QModelIndex result = SelectedResult(); result.isValid()) {
            CopyPath(rows_.Path(result.row()));
        }
        return true;
    }
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    if ((key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) &&
        modifiers == Qt::NoModifier) {
        const QModelIndex result = SelectedResult();
        if (!result.isValid()) {
            return false;
        }
        // Holding the key down opens the file once.
        if (!key.isAutoRepeat()) {
            opener_.Open(rows_.Path(result.row()));
        }
        return true;
    }
    if (key.key() == Qt::Key_F10 && modifiers == Qt::ShiftModifier) {
        PopUpMenuForSelected();
        return true;
    }
    return false;
}

QModelIndex ResultActions::SelectedResult() const {
    // One row at most is selected, and its one cell with it.
    const QModelIndexList selected = list_.selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QModelIndex() : selected.front();
}

void ResultActions::PopUpMenuForSelected() {
    const QModelIndex result = SelectedResult();
    if (!result.isValid()) {
        return;
    }
    // Over the result's row, or over the middle of the list when the row is scrolled out of
    // sight.
    const QRect rows = list_.viewport()->rect();
    const QRect row = list_.visualRect(result).intersected(rows);
    PopUpMenu(rows_.Path(result.row()),
              list_.viewport()->mapToGlobal(row.isEmpty() ? rows.center() : row.center()));
}

void ResultActions::PopUpMenu(const QByteArray& path, QPoint globalPosition) {
    menuPath_ = path;
    menu_->popup(globalPosition);
}

void ResultActions::CopyPath(const QByteArray& path) {
    QGuiApplication::clipboard()->setMimeData(PathMimeData(path).release()); // owned by it
}

void ResultActions::ReportFailure(const QByteArray& path, const QString& reason) {
    dialogs_.ShowMessage(
        list_.window(),
        QStringLiteral("Could not open ") +
            DisplayPath({path.constData(), static_cast<std::size_t>(path.size())}) +
            QStringLiteral(": ") + reason + QLatin1Char('.'),
        ApplicationTitle, Dialogs::Icon::Warning, Dialogs::Buttons::Ok);
}

} // namespace scanvale
