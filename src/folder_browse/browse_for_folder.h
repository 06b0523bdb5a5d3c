#pragma once

#include <QString>

class QWidget;

namespace scanvale {

// Shows the folder chooser modally over `owner`, titled `prompt`, starting at the root of the
// file system and offering folders only. Returns the chosen folder's absolute path, whole
// however long it is, or the empty string when the user cancels.
QString BrowseForFolder(QWidget* owner, const QString& prompt);

} // namespace scanvale
