#pragma once

#include <QByteArray>
#include <QMimeData>
#include <QUrl>
#include <memory>

namespace scanvale {

// A result's path as the desktop takes it: a file URL, the folder that holds it, and the data
// put on the clipboard. All keep the path's exact bytes, also where they are not valid UTF-8.

// The file URL of an absolute path. Every byte but the unreserved ones and '/' is
// percent-encoded, so the URL's encoded form names exactly these bytes.
QUrl FileUrl(const QByteArray& path);

// The folder that holds `path`: everything before its last '/', and "/" for a file at the
// root.
QByteArray ParentFolder(const QByteArray& path);

// The path as text (its exact bytes as text/plain) and as a one-line text/uri-list.
std::unique_ptr<QMimeData> PathMimeData(const QByteArray& path);

} // namespace scanvale
