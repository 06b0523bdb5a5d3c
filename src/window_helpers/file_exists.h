#pragma once

#include <QByteArray>
#include <QString>

namespace scanvale {

// True when the file system can report the status (and so the modification time) of `path`:
// the path names a file, folder or other entry that exists and can be reached. The empty
// string, a missing entry, a missing or unreadable folder on the way and a malformed path all
// give false. The entry itself is not opened. Never throws.
bool FileExists(const QString& path) noexcept;

// True when `path`, in the exact bytes of its name, leads to a folder (through symbolic links
// too). Never throws.
bool FolderExists(const QByteArray& path) noexcept;

} // namespace scanvale
