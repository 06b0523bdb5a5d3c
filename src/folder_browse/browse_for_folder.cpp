#include "browse_for_folder.h"

#include "folder_chooser.h"

namespace scanvale {

QByteArray BrowseForFolder(QWidget* owner, const QString& prompt) {
    FolderChooser chooser(owner, prompt);
    return chooser.exec() == QDialog::Accepted ? chooser.ChosenFolder() : QByteArray();
}

} // namespace scanvale
