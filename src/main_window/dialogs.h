#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

class QWidget;

namespace scanvale {

// The modal dialogs that the window's handlers ask the user through. The program uses the
// toolkit's dialogs (QtDialogs); tests script the answers. Every call blocks until answered
// and runs on the window's thread.
class Dialogs {
public:
    enum class Icon { None, Warning };
    enum class Buttons { Ok, YesNo };
    enum class Answer { Ok, Yes, No };

    virtual ~Dialogs() = default;

    // The folder chooser: a folder's absolute path in the exact bytes the file system names it
    // by (not necessarily UTF-8), or an empty array on cancel.
    virtual QByteArray BrowseForFolder(QWidget* owner, const QString& prompt) = 0;

    // A message box with `text`, `title`, `icon` and the given buttons; returns the button
    // pressed (closing a Yes/No box without choosing counts as No, an OK box as Ok).
    virtual Answer ShowMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                               Buttons buttons) = 0;

    // The save dialog: starts with an empty file name and offers `filters` ("Text Files
    // (*.txt)", ...) with the first selected. Adds no extension and asks nothing about an
    // existing file. Returns the chosen path exactly, or the empty string on cancel.
    virtual QString SaveFileName(QWidget* owner, const QString& title,
                                 const QStringList& filters) = 0;
};

} // namespace scanvale
