#include "scripted_dialogs.h"

namespace scanvale::test {

void ScriptedDialogs::Asking() {
    if (whileAsking) {
        whileAsking();
    }
}

QByteArray ScriptedDialogs::BrowseForFolder(QWidget* owner, const QString& prompt) {
    calls.append({Call::Kind::Folder, owner, prompt, {}, Icon::None, Buttons::Ok, {}});
    Asking();
    return folders.isEmpty() ? QByteArray() : folders.dequeue();
}

Dialogs::Answer ScriptedDialogs::ShowMessage(QWidget* owner, const QString& text,
                                             const QString& title, Icon icon, Buttons buttons) {
    calls.append({Call::Kind::Message, owner, text, title, icon, buttons, {}});
    Asking();
    if (!answers.isEmpty()) {
        return answers.dequeue();
    }
    return buttons == Buttons::YesNo ? Answer::No : Answer::Ok;
}

QString ScriptedDialogs::SaveFileName(QWidget* owner, const QString& title,
                                      const QStringList& filters) {
    calls.append({Call::Kind::Save, owner, title, {}, Icon::None, Buttons::Ok, filters});
    Asking();
    return saveNames.isEmpty() ? QString() : saveNames.dequeue();
}

} // namespace scanvale::test
