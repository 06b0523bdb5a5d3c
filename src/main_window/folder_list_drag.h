#pragma once

#include "pointer_kind.h"

#include <QObject>
#include <QPersistentModelIndex>
#include <QPoint>
#include <QString>
#include <functional>

class QTreeWidget;
class QTreeWidgetItem;

namespace scanvale {

// Reordering and removing folders in the folder list with the mouse.
//
// A button press on the list starts a drag and the next release ends it. While dragging, each
// pointer move over an item whose text differs from the dragged one exchanges the two items'
// contents (text and data): the items stay at their positions and the dragged folder moves
// into the item under the pointer, which becomes selected. A slow drag thus carries the folder
// one row at a time; a jump swaps the two rows and leaves the rows between alone. An exchange
// made within one row's height of the list's top or bottom edge scrolls the neighbouring row
// beyond the target into view. A double-click removes the selected folder.
//
// The list keeps a pointer of its own, separate from the window's: the drag pointer (drag.ico)
// from a press on an item until the release, the arrow after it. The list's built-in
// drag-and-drop and its scrolling while the mouse selects are switched off; only this class
// moves folders.
class FolderListDrag : public QObject {
    Q_OBJECT

public:
    // Handles the mouse on `list`, by which it is owned. The drag pointer image is read from
    // drag.ico in `pointerFolder` at every press on an item. `onMove` runs first on every
    // pointer move over the list, dragging or not (the window's hover response).
    FolderListDrag(QTreeWidget& list, QString pointerFolder, std::function<void()> onMove);

    // True from a press of any button on the list until the next release.
    bool Dragging() const { return Dragging_; }
    // The item that holds the dragged folder; none before the first press on an item and once
    // that item has been removed.
    QTreeWidgetItem* DraggedItem() const;
    // The item under the pointer while a move is being handled; none between moves.
    QTreeWidgetItem* TargetItem() const { return TargetItem_; }
    // The list's own pointer kind: Custom (drag pointer), Default (drag.ico unreadable, the
    // list shows the default pointer), Arrow after a release; Default before the first press.
    PointerKind MousePointer() const { return mousePointer_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ItemPressed(QTreeWidgetItem* item);
    void ButtonReleased();
    void Moved(QPoint position);
    void ScrollNearEdge(QTreeWidgetItem& target, int pointerY);
    void RemoveSelected();

    QTreeWidget& list_;
    // The list's viewport, whose events this object watches. Kept apart from the list: while
    // the list is being destroyed its viewport still sends events, and the list must not be
    // asked for anything then.
    const QWidget* viewport_;
    QString pointerFolder_;
    std::function<void()> onMove_;
    bool Dragging_ = false;
    // Follows the item across removals of other rows and becomes invalid when it is removed.
    QPersistentModelIndex draggedIndex_;
    QTreeWidgetItem* TargetItem_ = nullptr;
    PointerKind mousePointer_ = PointerKind::Default;
};

} // namespace scanvale
