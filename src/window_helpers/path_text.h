#pragma once

#include <QByteArray>
#include <QString>
#include <string_view>

class QTreeWidget;
class QTreeWidgetItem;

namespace scanvale {

// File names on Linux are bytes, not necessarily valid UTF-8. A path is shown as text with
// every well-formed UTF-8 sequence decoded and every other byte written as \xNN (so two names
// that differ only in such bytes stay distinguishable), while the list keeps the exact bytes
// the file system gave (the folder list in its items, the results list in its model).
// Whatever writes paths back out or hands them on (the results file, a search) uses the bytes.

// The readable form of `path`.
QString DisplayPath(std::string_view path);

// Appends an item for `path` at the end of the folder list `list`: readable text, exact bytes
// kept.
QTreeWidgetItem* AppendPathItem(QTreeWidget& list, std::string_view path);

// The exact bytes of an item's path: those kept by AppendPathItem, or the UTF-8 of its text
// for an item made otherwise.
QByteArray ItemPathBytes(const QTreeWidgetItem& item);

} // namespace scanvale
