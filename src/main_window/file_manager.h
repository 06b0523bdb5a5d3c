#pragma once

#include <QByteArray>
#include <QObject>

namespace scanvale {

class DesktopOpener;

// Shows a file in the desktop's file manager: its folder, with the file selected. The request
// goes to whichever file manager offers the freedesktop interface org.freedesktop.FileManager1
// on the session bus (running, or started by the bus on demand). Where none answers, or it
// answers with an error, the folder itself is opened instead. Nothing waits for the answer.
class FileManager : public QObject {
    Q_OBJECT

public:
    // Falls back on `opener`, which must outlive this object.
    explicit FileManager(DesktopOpener& opener, QObject* parent = nullptr);

    // Shows the file at the absolute `path` (its exact bytes) in its folder.
    void ShowItem(const QByteArray& path);

private:
    DesktopOpener& opener_;
};

} // namespace scanvale
