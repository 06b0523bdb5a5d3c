#include "result_path.h"

#include <QMimeData>

namespace scanvale {

QUrl FileUrl(const QByteArray& path) {
    return QUrl::fromEncoded(QByteArrayLiteral("file://") + path.toPercentEncoding("/"),
                             QUrl::StrictMode);
}

QByteArray ParentFolder(const QByteArray& path) {
    const qsizetype slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArrayLiteral("/");
}

std::unique_ptr<QMimeData> PathMimeData(const QByteArray& path) {
    auto data = std::make_unique<QMimeData>();
    // The bytes themselves, not a decoded string: a name that is not valid UTF-8 would lose its
    // odd bytes in a round trip through QString.
    data->setData(QStringLiteral("text/plain"), path);
    data->setUrls({FileUrl(path)});
    return data;
}

} // namespace scanvale
