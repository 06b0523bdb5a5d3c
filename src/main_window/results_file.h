#pragma once

#include <QByteArray>
#include <QList>
#include <QSaveFile>
#include <QString>
#include <functional>

namespace scanvale {

class ActiveSaves;

// Writes the results file: one line per path, each line the path's exact bytes followed by
// CR LF, nothing before or after. The lines go to a temporary file beside the target, which
// replaces the target only once every line has been written and flushed; an existing target
// is therefore either left exactly as it was or holds exactly the new list. Only a regular
// file (or a name not yet taken) is ever replaced: a folder, device or pipe of that name is
// refused.
class ResultsFile {
public:
    enum class Outcome {
        Saved,     // the target now holds exactly the lines
        Failed,    // nothing was replaced; Reason() says why
        Abandoned, // Abandon() was called during a yield; nothing was replaced
    };

    // Lists itself in `saves` until destroyed, so that the window can abandon it.
    ResultsFile(const QString& target, ActiveSaves& saves);
    ~ResultsFile();
    ResultsFile(const ResultsFile&) = delete;
    ResultsFile& operator=(const ResultsFile&) = delete;

    // Writes `lines` to the target, calling `yield` once before each line so that the window
    // stays responsive. Any handler may run inside `yield`; the lines were copied by the caller,
    // so changes to the results list do not reach this file. Call once per object.
    Outcome Write(const QList<QByteArray>& lines, const std::function<void()>& yield);

    // Why Write failed, in words for the user without a final full stop.
    const QString& Reason() const { return reason_; }

    // Cancels the write in progress at once: its temporary file is closed and removed, the
    // target is untouched, and Write returns Abandoned as soon as it has control again.
    void Abandon();

private:
    Outcome Fail(const QString& reason);
    // Fails with the reason of the last write and removes the temporary file.
    Outcome FailAndDiscard();
    bool WriteAll(QByteArrayView bytes);
    void Discard();

    QSaveFile file_;
    ActiveSaves& saves_;
    QString reason_;
    bool abandoned_ = false;
};

} // namespace scanvale
