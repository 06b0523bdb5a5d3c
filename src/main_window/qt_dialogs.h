#pragma once

#include "dialogs.h"

namespace scanvale {

// The dialogs of the toolkit, shown modally over their owner.
class QtDialogs final : public Dialogs {
public:
    QByteArray BrowseForFolder(QWidget* owner, const QString& prompt) override;
    Answer ShowMessage(QWidget* owner, const QString& text, const QString& title, Icon icon,
                       Buttons buttons) override;
    QString SaveFileName(QWidget* owner, const QString& title, const QStringList& filters) override;
};

} // namespace scanvale
