#pragma once

#include "dialogs.h"

#include <QByteArray>
#include <functional>

namespace scanvale::bench {

// Answers the window's questions at once: the folder to add, OK to every message. Calls
// `onDone` when the run's "Done." box would open.
class BenchDialogs final : public Dialogs {
public:
    QByteArray folder;
    std::function<void()> onDone;

    QByteArray BrowseForFolder(QWidget*, const QString&) override { return folder; }
    Answer ShowMessage(QWidget*, const QString& text, const QString&, Icon, Buttons) override {
        if (text == QStringLiteral("Done.") && onDone) {
            onDone();
        }
        return Answer::Ok;
    }
    QString SaveFileName(QWidget*, const QString&, const QStringList&) override { return {}; }
};

} // namespace scanvale::bench
