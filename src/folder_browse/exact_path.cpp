#include "exact_path.h"

#include <QFile>
#include <dirent.h>
#include <memory>

namespace scanvale {

namespace {

struct CloseFolder {
    void operator()(DIR* folder) const { ::closedir(folder); }
};

// The one entry of `folder` whose decoded name is `name`; empty when none or several are.
QByteArray EntryReadAs(const QByteArray& folder, const QString& name) {
    const std::unique_ptr<DIR, CloseFolder> listing(::opendir(folder.constData()));
    if (!listing) {
        return {};
    }
    QByteArray found;
    while (const dirent* entry = ::readdir(listing.get())) {
        if (QFile::decodeName(entry->d_name) != name) {
            continue;
        }
        if (!found.isEmpty()) {
            return {};
        }
        found = entry->d_name;
    }
    return found;
}

} // namespace

QByteArray ExactPath(const QString& path) {
    if (!path.startsWith(u'/')) {
        return {};
    }
    // Separators are kept as they stand, so the path names what it named as text.
    const QStringList components = path.split(u'/');
    QByteArray exact; // the bytes so far; at each lookup, a folder ending in a separator
    for (qsizetype i = 0; i < components.size(); ++i) {
        const QString& component = components[i];
        if (i > 0) {
            exact += '/';
        }
        if (!component.contains(QChar::ReplacementCharacter)) {
            exact += QFile::encodeName(component);
            continue;
        }
        const QByteArray entry = EntryReadAs(exact, component);
        if (entry.isEmpty()) {
            return {};
        }
        exact += entry;
    }
    return exact;
}

} // namespace scanvale
