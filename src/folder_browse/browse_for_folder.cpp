#include "browse_for_folder.h"

#include <QDir>
#include <QFileDialog>

namespace scanvale {

QString BrowseForFolder(QWidget* owner, const QString& prompt) {
    QFileDialog dialog(owner, prompt, QDir::rootPath());
    dialog.setObjectName(QStringLiteral("BrowseForFolder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    if (chosen.isEmpty() || chosen.front().isEmpty()) {
        return {};
    }
    return QFileInfo(chosen.front()).absoluteFilePath();
}

} // namespace scanvale
