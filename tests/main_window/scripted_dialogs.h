#pragma once

#include "dialogs.h"

#include <QList>
#include <QQueue>

namespace scanvale::test {

// Dialogs that answer from a script without showing anything, and record every question.
// A question with no scripted answer left is recorded too and answered as a cancel (empty
// path, No, Ok), so a test sees it as an extra call.
class ScriptedDialogs final : public Dialogs {
public:
    struct Call {
        enum class Kind { Folder, Message, Save } kind;
        QWidget* owner = nullptr;
        QString text;  // the folder prompt, the message text or the save title
        QString title; // message boxes only
        Icon icon = Icon::None;
        Buttons buttons = Buttons::Ok;
        QStringList filters; // save dialog only
    };

    QQueue<QByteArray> folders; // path bytes; empty: a cancel
    QQueue<Answer> answers;
    QQueue<QString> saveNames;
    QList<Call> calls;
    // Runs inside each question, before it is answered: lets a test look at the window while
    // the dialog would be open.
    std::function<void()> whileAsking;

    QByteArray BrowseForFolder(QWidget* owner, const QString& prompt) override;
    Answer ShowMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                       Buttons buttons) override;
    QString SaveFileName(QWidget* owner, const QString& title, const QStringList& filters) override;

private:
    void Asking();
};

} // namespace scanvale::test
