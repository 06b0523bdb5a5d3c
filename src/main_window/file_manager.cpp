#include "file_manager.h"

#include "desktop_opener.h"
#include "result_path.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>

namespace scanvale {

FileManager::FileManager(DesktopOpener& opener, QObject* parent)
    : QObject(parent), opener_(opener) {}

void FileManager::ShowItem(const QByteArray& path) {
    // The bus is asked for only now: a window that never shows a file in its folder never
    // connects to it.
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        opener_.Open(ParentFolder(path));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    // ShowItems(as uris, s startup_id); the encoded URL is ASCII and names the exact bytes.
    call << QStringList{QString::fromLatin1(FileUrl(path).toEncoded())} << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this); // deleted below
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path](QDBusPendingCallWatcher* answered) {
                answered->deleteLater();
                if (answered->isError()) {
                    opener_.Open(ParentFolder(path));
                }
            });
}

} // namespace scanvale
