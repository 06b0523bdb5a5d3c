#pragma once

#include "results_model.h"

#include <QStringList>
#include <QTableView>
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

// The texts the results list shows, row by row.
inline QStringList Texts(const QTableView& list) {
    QStringList texts;
    for (int row = 0; row < list.model()->rowCount(); ++row) {
        texts << list.model()->index(row, 0).data().toString();
    }
    return texts;
}

} // namespace scanvale::test
