#pragma once

#include <QFileDialog>

namespace scanvale {

// The toolkit's file dialog set up to choose one folder, which also accepts a folder whose
// name is not UTF-8. The toolkit shows such a name decoded, with U+FFFD in place of the bytes
// it cannot decode, and its own dialog's acceptance looks the folder up by that text, which
// names nothing ("Directory not found"). Here the chosen folder is looked up by its exact
// bytes (ExactPath) before that refusal.
class FolderChooser : public QFileDialog {
public:
    // Titled `prompt`, modal over `owner`, starting at the root of the file system, offering
    // folders only.
    FolderChooser(QWidget* owner, const QString& prompt);

    // The chosen folder's exact bytes, once the dialog has been accepted; empty when the
    // choice cannot be told from another folder whose name reads alike.
    QByteArray ChosenFolder() const;

protected:
    void accept() override;
};

} // namespace scanvale
