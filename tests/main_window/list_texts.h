#pragma once

#include <QStringList>
#include <QTableWidget>
#include <QTreeWidget>

// The item texts of the window's lists, read and filled in list order.
namespace scanvale::test {

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
