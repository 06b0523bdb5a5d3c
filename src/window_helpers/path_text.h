#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

class QTableWidget;
class QTableWidgetItem;
class QTreeWidget;
class QTreeWidgetItem;

namespace scanvale {

// File names on Linux are bytes, not necessarily valid UTF-8. A path is shown as text with
// every well-formed UTF-8 sequence decoded and every other byte written as \xNN (so two names
// that differ only in such bytes stay distinguishable), while the item keeps the exact bytes
// the file system gave. Whatever writes paths back out (the results file) uses the bytes.

// The readable form of `path`.
QString DisplayPath(std::string_view path);

// Appends an item for `path` at the end of `list`: readable text, exact bytes kept. In a
// table the item fills a new last row's first cell; appending there costs the same however
// many rows the table holds, and it needs a column (none: an empty row, nullptr returned).
QTreeWidgetItem* AppendPathItem(QTreeWidget& list, std::string_view path);
QTableWidgetItem* AppendPathItem(QTableWidget& list, std::string_view path);

// The exact bytes of an item's path: those kept by AppendPathItem, or the UTF-8 of its text
// for an item made otherwise.
QByteArray ItemPathBytes(const QTreeWidgetItem& item);
QByteArray ItemPathBytes(const QTableWidgetItem& item);

} // namespace scanvale
