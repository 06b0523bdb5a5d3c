#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

// Mouse events for the lists' viewports. Moves are sent as events of their own so that a
// test decides which buttons they carry; QTest's own moves do not say which are held.
namespace scanvale::test {

inline QPoint RowPoint(const QTreeWidget& list, int row) {
    return list.visualItemRect(list.topLevelItem(row)).center();
}

inline QPoint RowPoint(const QTableWidget& list, int row) {
    return list.visualItemRect(list.item(row, 0)).center();
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

inline QStringList Texts(const QTreeWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.topLevelItemCount(); ++i) {
        texts << list.topLevelItem(i)->text(0);
    }
    return texts;
}

inline void Fill(QTreeWidget& list, const QStringList& texts) {
    list.clear();
    for (const QString& text : texts) {
        (new QTreeWidgetItem(&list))->setText(0, text);
    }
}

// The texts of a one-column table's rows; an empty cell reads as an empty text.
inline QStringList Texts(const QTableWidget& list) {
    QStringList texts;
    for (int row = 0; row < list.rowCount(); ++row) {
        const QTableWidgetItem* item = list.item(row, 0);
        texts << (item != nullptr ? item->text() : QString());
    }
    return texts;
}

inline void Fill(QTableWidget& list, const QStringList& texts) {
    list.setRowCount(0);
    for (const QString& text : texts) {
        const int row = list.rowCount();
        list.insertRow(row);
        list.setItem(row, 0, new QTableWidgetItem(text)); // owned by the list
    }
}

} // namespace scanvale::test
