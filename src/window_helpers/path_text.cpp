#include "path_text.h"

#include <QTreeWidget>

namespace scanvale {

namespace {

// The item data role that holds a path's exact bytes.
constexpr int kPathBytesRole = Qt::UserRole + 1;

// Length of the well-formed UTF-8 sequence at the start of `s`, or 0 when it is not one
// (overlong forms, surrogates and code points above U+10FFFF are not well-formed).
std::size_t WellFormedLength(std::string_view s) {
    const auto b = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const auto cont = [&](std::size_t i) { return i < s.size() && (b(i) & 0xC0) == 0x80; };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return cont(1) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (!cont(1) || !cont(2)) {
            return 0;
        }
        if ((lead == 0xE0 && b(1) < 0xA0) || (lead == 0xED && b(1) > 0x9F)) {
            return 0;
        }
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (!cont(1) || !cont(2) || !cont(3)) {
            return 0;
        }
        if ((lead == 0xF0 && b(1) < 0x90) || (lead == 0xF4 && b(1) > 0x8F)) {
            return 0;
        }
        return 4;
    }
    return 0;
}

} // namespace

QString DisplayPath(std::string_view path) {
    QString text;
    text.reserve(static_cast<qsizetype>(path.size()));
    while (!path.empty()) {
        const std::size_t n = WellFormedLength(path);
        if (n == 0) {
            text += QStringLiteral("\\x%1").arg(static_cast<unsigned char>(path[0]), 2, 16,
                                                QLatin1Char('0'));
            path.remove_prefix(1);
            continue;
        }
        text += QString::fromUtf8(path.data(), static_cast<qsizetype>(n));
        path.remove_prefix(n);
    }
    return text;
}

QTreeWidgetItem* AppendPathItem(QTreeWidget& list, std::string_view path) {
    auto* item = new QTreeWidgetItem(&list); // owned by the list
    item->setText(0, DisplayPath(path));
    item->setData(0, kPathBytesRole, QByteArray(path.data(), static_cast<qsizetype>(path.size())));
    return item;
}

QByteArray ItemPathBytes(const QTreeWidgetItem& item) {
    const QVariant bytes = item.data(0, kPathBytesRole);
    return bytes.isValid() ? bytes.toByteArray() : item.text(0).toUtf8();
}

} // namespace scanvale
