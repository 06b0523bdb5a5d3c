#include "path_text.h"

#include "search/utf8.h"

#include <QTreeWidget>
#include <cstdint>

namespace scanvale {

namespace {

// The item data role that holds a path's exact bytes.
constexpr int PathBytesRole = Qt::UserRole + 1;

QVariant BytesOf(std::string_view path) {
    return QByteArray(path.data(), static_cast<qsizetype>(path.size()));
}

QByteArray BytesOr(const QVariant& bytes, const QString& text) {
    return bytes.isValid() ? bytes.toByteArray() : text.toUtf8();
}

} // namespace

QString DisplayPath(std::string_view path) {
    QString text;
    text.reserve(static_cast<qsizetype>(path.size()));
    while (!path.empty()) {
        // The longest run of well-formed sequences is decoded in one call: a path is usually
        // one run from end to end.
        std::size_t run = 0;
        while (run < path.size()) {
            const std::size_t n = Search::Utf8::WellFormedLength(
                reinterpret_cast<const uint8_t*>(path.data()) + run, path.size() - run);
            if (n == 0) {
                break;
            }
            run += n;
        }
        text += QString::fromUtf8(path.data(), static_cast<qsizetype>(run));
        path.remove_prefix(run);
        if (!path.empty()) {
            text += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(path[0]), 2, 16,
                                                QLatin1Char('0'));
            path.remove_prefix(1);
        }
    }
    return text;
}

QTreeWidgetItem* AppendPathItem(QTreeWidget& list, std::string_view path) {
    auto* item = new QTreeWidgetItem(&list); // owned by the list
    item->setText(0, DisplayPath(path));
    item->setData(0, PathBytesRole, BytesOf(path));
    return item;
}

QByteArray ItemPathBytes(const QTreeWidgetItem& item) {
    return BytesOr(item.data(0, PathBytesRole), item.text(0));
}

} // namespace scanvale
