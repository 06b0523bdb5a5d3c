#include "qt_dialogs.h"

#include "browse_for_folder.h"
#include "file_choice_proxy.h"

#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <memory>

namespace scanvale {

namespace {

// Choosing a file type gives the typed name that type's extension; a choice of every file,
// whose pattern is *.*, would turn "list.txt" into "list.*". Such a choice keeps the name as
// it was typed. The name is taken as the choice changes, before the dialog rewrites it.
void KeepTypedNameForEveryFile(QFileDialog& dialog) {
    auto* name = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    auto* types = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    if (name == nullptr || types == nullptr) {
        return;
    }
    auto typed = std::make_shared<QString>();
    QObject::connect(types, &QComboBox::currentIndexChanged, name,
                     [name, typed] { *typed = name->text(); });
    QObject::connect(&dialog, &QFileDialog::filterSelected, name,
                     [name, typed](const QString& filter) {
                         if (FileChoiceProxy::ListsEveryFile(filter)) {
                             name->setText(*typed);
                         }
                     });
}

} // namespace

QByteArray QtDialogs::BrowseForFolder(QWidget* owner, const QString& prompt) {
    return scanvale::BrowseForFolder(owner, prompt);
}

Dialogs::Answer QtDialogs::ShowMessage(QWidget* owner, const QString& text, const QString& title,
                                       Icon icon, Buttons buttons) {
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(icon == Icon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon, title, text,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, owner);
    box.setDefaultButton(yesNo ? QMessageBox::Yes : QMessageBox::Ok);
    const int pressed = box.exec();
    if (!yesNo) {
        return Answer::Ok;
    }
    return pressed == QMessageBox::Yes ? Answer::Yes : Answer::No;
}

QString QtDialogs::SaveFileName(QWidget* owner, const QString& title, const QStringList& filters) {
    QFileDialog dialog(owner, title);
    dialog.setObjectName(QStringLiteral("SaveFileName"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    // The toolkit's own dialog, whose listing this program can correct: a desktop's dialog
    // would take "All Files (*.*)" literally and hide every name without a dot.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    FileChoiceProxy::Install(dialog);
    KeepTypedNameForEveryFile(dialog);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

} // namespace scanvale
