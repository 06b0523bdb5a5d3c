#pragma once

#include "list_texts.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTableView>
#include <QTest>
#include <QTreeWidget>

// Mouse events for the lists' viewports. Moves are sent as events of their own so that a
// test decides which buttons they carry; QTest's own moves do not say which are held.
namespace scanvale::test {

inline QPoint RowPoint(const QTreeWidget& list, int row) {
    return list.visualItemRect(list.topLevelItem(row)).center();
}

inline QPoint RowPoint(const QTableView& list, int row) {
    return list.visualRect(list.model()->index(row, 0)).center();
}

// A point in the list's empty space below its last item.
inline QPoint BelowLastRow(const QTreeWidget& list) {
    return {list.viewport()->width() / 2, list.viewport()->height() - 2};
}

inline void MoveTo(QWidget* widget, QPoint at, Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent move(QEvent::MouseMove, at, widget->mapToGlobal(at), Qt::NoButton, held,
                     Qt::NoModifier);
    QApplication::sendEvent(widget, &move);
}

inline void Press(QTreeWidget& list, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(list.viewport(), button, Qt::NoModifier, at);
}

inline void Release(QTreeWidget& list, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(list.viewport(), button, Qt::NoModifier, at);
}

// A double-click as the window system delivers it: press, release, press, double-click,
// release. QTest's own double-click sends the double-click event alone.
inline void DoubleClick(QWidget* widget, QPoint at) {
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mousePress(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseDClick(widget, Qt::LeftButton, Qt::NoModifier, at);
    QTest::mouseRelease(widget, Qt::LeftButton, Qt::NoModifier, at);
}

} // namespace scanvale::test
