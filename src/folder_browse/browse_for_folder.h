#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace scanvale {

// Shows the folder chooser modally over `owner`, titled `prompt`, starting at the root of the
// file system and offering folders only. Returns the chosen folder's absolute path, whole
// however long it is, in the exact bytes the file system names it by (which need not be
// UTF-8), or an empty array when the user cancels or the chosen name cannot be told from
// another (see ExactPath).
QByteArray BrowseForFolder(QWidget* owner, const QString& prompt);

} // namespace scanvale
