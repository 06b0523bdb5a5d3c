#include "folder_list_drag.h"

#include "pointer_image.h"

#include <QDir>
#include <QMouseEvent>
#include <QTreeWidget>
#include <memory>

namespace scanvale {

namespace {

// Exchanges everything two items hold in every column, text and data alike, so that nothing
// kept beside the text (such as a path's exact bytes) is lost or left behind.
void ExchangeContents(QTreeWidget& list, const QTreeWidgetItem& a, const QTreeWidgetItem& b) {
    QAbstractItemModel& model = *list.model();
    for (int column = 0; column < list.columnCount(); ++column) {
        const QModelIndex first = list.indexFromItem(&a, column);
        const QModelIndex second = list.indexFromItem(&b, column);
        const QMap<int, QVariant> firstData = model.itemData(first);
        const QMap<int, QVariant> secondData = model.itemData(second);
        model.clearItemData(first);
        model.setItemData(first, secondData);
        model.clearItemData(second);
        model.setItemData(second, firstData);
    }
}

} // namespace

FolderListDrag::FolderListDrag(QTreeWidget& list, QString pointerFolder,
                               std::function<void()> onMove)
    : QObject(&list), list_(list), viewport_(list.viewport()),
      pointerFolder_(std::move(pointerFolder)), onMove_(std::move(onMove)) {
    list_.setDragDropMode(QAbstractItemView::NoDragDrop);
    list_.setDragEnabled(false);
    list_.setAcceptDrops(false);
    // The list would otherwise scroll by itself while a button is held near its edges.
    list_.setAutoScroll(false);
    list_.viewport()->setMouseTracking(true);
    list_.viewport()->installEventFilter(this);
    // Qt reports an item click only on release; the press is when the item is chosen. The
    // signal comes after the press has selected the item.
    connect(&list_, &QTreeWidget::itemPressed, this,
            [this](QTreeWidgetItem* item) { ItemPressed(item); });
}

QTreeWidgetItem* FolderListDrag::DraggedItem() const {
    return draggedIndex_.isValid() ? list_.itemFromIndex(draggedIndex_) : nullptr;
}

bool FolderListDrag::eventFilter(QObject* watched, QEvent* event) {
    if (watched != viewport_) {
        return false;
    }
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        Dragging_ = true;
        return false;
    case QEvent::MouseButtonRelease:
        ButtonReleased();
        return false;
    case QEvent::MouseMove:
        Moved(static_cast<QMouseEvent*>(event)->position().toPoint());
        // While dragging, the list's own selecting by mouse stays out of the way.
        return Dragging_;
    case QEvent::MouseButtonDblClick:
        RemoveSelected();
        return true;
    default:
        return false;
    }
}

void FolderListDrag::ItemPressed(QTreeWidgetItem* /*item*/) {
    // Read again at every press, so a file placed or replaced while the program runs is used.
    const PointerImage image =
        PointerImage::Load(QDir(pointerFolder_).filePath(QStringLiteral("drag.ico")));
    if (image.IsNull()) {
        // Missing or unreadable: the drag works all the same, under the default pointer.
        mousePointer_ = PointerKind::Default;
        list_.viewport()->unsetCursor();
    } else {
        mousePointer_ = PointerKind::Custom;
        list_.viewport()->setCursor(image.Cursor());
    }
    const QList<QTreeWidgetItem*> selected = list_.selectedItems();
    draggedIndex_ = selected.isEmpty()
                        ? QPersistentModelIndex()
                        : QPersistentModelIndex(list_.indexFromItem(selected.front()));
}

void FolderListDrag::ButtonReleased() {
    Dragging_ = false;
    mousePointer_ = PointerKind::Arrow;
    list_.viewport()->setCursor(Qt::ArrowCursor);
}

void FolderListDrag::Moved(QPoint position) {
    if (onMove_) {
        onMove_();
    }
    if (!Dragging_) {
        return;
    }
    TargetItem_ = list_.itemAt(position);
    QTreeWidgetItem* dragged = DraggedItem();
    // Equal texts cover the pointer still over the dragged item and a second item holding the
    // same folder: neither changes anything.
    if (TargetItem_ != nullptr && dragged != nullptr && TargetItem_->text(0) != dragged->text(0)) {
        ExchangeContents(list_, *dragged, *TargetItem_);
        list_.setCurrentItem(TargetItem_);
        draggedIndex_ = QPersistentModelIndex(list_.indexFromItem(TargetItem_));
        ScrollNearEdge(*TargetItem_, position.y());
    }
    TargetItem_ = nullptr;
}

void FolderListDrag::ScrollNearEdge(QTreeWidgetItem& target, int pointerY) {
    // Measured against the list's own visible area, so the result does not depend on where
    // the window sits on the screen.
    const int rowHeight = list_.visualItemRect(&target).height();
    const int position = list_.indexOfTopLevelItem(&target);
    int neighbour = -1;
    if (pointerY < rowHeight) {
        neighbour = position - 1;
    } else if (list_.viewport()->height() - pointerY <= rowHeight) {
        neighbour = position + 1;
    }
    if (neighbour >= 0 && neighbour < list_.topLevelItemCount()) {
        list_.scrollToItem(list_.topLevelItem(neighbour), QAbstractItemView::EnsureVisible);
    }
}

void FolderListDrag::RemoveSelected() {
    const QList<QTreeWidgetItem*> selected = list_.selectedItems();
    if (selected.isEmpty()) {
        return;
    }
    // Destroying the item invalidates draggedIndex_ when it was the dragged one.
    const std::unique_ptr<QTreeWidgetItem> removed(
        list_.takeTopLevelItem(list_.indexOfTopLevelItem(selected.front())));
}

} // namespace scanvale
