#include "qt_dialogs.h"

#include "browse_for_folder.h"

#include <QFileDialog>
#include <QMessageBox>

namespace scanvale {

namespace {

QMessageBox::Icon ToQt(Dialogs::Icon icon) {
    switch (icon) {
    case Dialogs::Icon::Information:
        return QMessageBox::Information;
    case Dialogs::Icon::Warning:
        return QMessageBox::Warning;
    case Dialogs::Icon::Critical:
        return QMessageBox::Critical;
    case Dialogs::Icon::Question:
        return QMessageBox::Question;
    case Dialogs::Icon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QByteArray QtDialogs::BrowseForFolder(QWidget* owner, const QString& prompt) {
    return scanvale::BrowseForFolder(owner, prompt);
}

Dialogs::Answer QtDialogs::ShowMessage(QWidget* owner, const QString& text, const QString& title,
                                       Icon icon, Buttons buttons) {
    const bool yesNo = buttons == Buttons::YesNo;
    QMessageBox box(ToQt(icon), title, text,
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
    dialog.setNameFilters(filters);
    if (!filters.isEmpty()) {
        dialog.selectNameFilter(filters.front());
    }
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    const QStringList chosen = dialog.selectedFiles();
    return chosen.isEmpty() ? QString() : chosen.front();
}

} // namespace scanvale
