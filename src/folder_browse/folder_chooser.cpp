#include "folder_chooser.h"

#include "exact_path.h"
#include "file_exists.h"

#include <QDir>

namespace scanvale {

namespace {

QByteArray ExactChoice(const QStringList& chosen) {
    if (chosen.size() != 1 || chosen.front().isEmpty()) {
        return {};
    }
    return ExactPath(QFileInfo(chosen.front()).absoluteFilePath());
}

} // namespace

FolderChooser::FolderChooser(QWidget* owner, const QString& prompt)
    : QFileDialog(owner, prompt, QDir::rootPath()) {
    setObjectName(QStringLiteral("BrowseForFolder"));
    setFileMode(QFileDialog::Directory);
    setOption(QFileDialog::ShowDirsOnly);
    setAcceptMode(QFileDialog::AcceptOpen);
}

QByteArray FolderChooser::ChosenFolder() const {
    return ExactChoice(selectedFiles());
}

void FolderChooser::accept() {
    // A name that is UTF-8 takes the toolkit's own way, which also handles a typed "..".
    const QStringList chosen = selectedFiles();
    if (chosen.size() == 1 && !QFileInfo::exists(chosen.front()) &&
        FolderExists(ExactChoice(chosen))) {
        QDialog::accept();
        return;
    }
    QFileDialog::accept();
}

} // namespace scanvale
