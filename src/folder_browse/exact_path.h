#pragma once

#include <QByteArray>
#include <QString>

namespace scanvale {

// The exact bytes of the existing absolute path that the toolkit shows as `path`.
//
// File names are bytes, and the toolkit decodes them as UTF-8, putting U+FFFD in place of
// bytes that are not; such a name cannot be encoded back. Each component that holds U+FFFD is
// therefore looked up among the real entries of the folder reached so far, by decoding each
// entry as the toolkit does; every other component is encoded as it stands. Empty when a
// component matches no entry, or more than one (two names that differ only in such bytes read
// alike, and which one was meant cannot be told).
QByteArray ExactPath(const QString& path);

} // namespace scanvale
