#include "results_file.h"

#include "active_saves.h"

#include <QFile>
#include <sys/stat.h>
#include <utility>

namespace scanvale {

namespace {

// Why `target` must not be replaced, or the empty string when it may be: it is free or names a
// regular file (a link is judged by what it points to). Renaming over a folder, a device node
// or a pipe would destroy something that is not a results file.
QString RefusalFor(const QString& target) {
    struct stat status {};
    if (::stat(QFile::encodeName(target).constData(), &status) != 0 || S_ISREG(status.st_mode)) {
        return {};
    }
    return S_ISDIR(status.st_mode) ? QStringLiteral("it is a folder")
                                   : QStringLiteral("it is not a regular file");
}

// The toolkit's error text, made to fit into "...: <reason>.".
QString ReasonFrom(const QFileDevice& file, const QString& fallback) {
    QString reason = file.error() == QFileDevice::NoError ? QString() : file.errorString();
    while (reason.endsWith(QLatin1Char('.'))) {
        reason.chop(1);
    }
    return reason.isEmpty() ? fallback : reason;
}

} // namespace

ResultsFile::ResultsFile(const QString& target, ActiveSaves& saves) : file_(target), saves_(saves) {
    // The toolkit's default already, stated because it is what keeps a failed save from
    // truncating the target: never write into the target itself.
    file_.setDirectWriteFallback(false);
    saves_.Add(this);
}

ResultsFile::~ResultsFile() {
    saves_.Remove(this);
    Discard();
}

ResultsFile::Outcome ResultsFile::Write(const QList<QByteArray>& lines,
                                        const std::function<void()>& yield) {
    if (const QString refusal = RefusalFor(file_.fileName()); !refusal.isEmpty()) {
        return Fail(refusal);
    }
    // Unbuffered, with a buffer of our own: the toolkit's buffer loses the reason when the
    // disk fills up while it flushes ("Unknown error"), a direct write keeps it.
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return Fail(ReasonFrom(file_, QStringLiteral("it could not be created")));
    }
    static constexpr qsizetype Chunk = 64 * 1024;
    QByteArray pending;
    for (const QByteArray& line : lines) {
        yield();
        if (abandoned_) {
            return Outcome::Abandoned;
        }
        pending += line;
        pending += "\r\n";
        if (pending.size() >= Chunk && !WriteAll(std::exchange(pending, {}))) {
            return FailAndDiscard();
        }
    }
    if (!WriteAll(pending)) {
        return FailAndDiscard();
    }
    if (!file_.commit()) {
        return Fail(ReasonFrom(file_, QStringLiteral("it could not be written")));
    }
    return Outcome::Saved;
}

ResultsFile::Outcome ResultsFile::FailAndDiscard() {
    const QString reason = ReasonFrom(file_, QStringLiteral("it could not be written"));
    Discard();
    return Fail(reason);
}

bool ResultsFile::WriteAll(QByteArrayView bytes) {
    // A write can come up short (a disk that fills up part way) without reporting an error; the
    // rest is written again until it all went or a write fails with the reason.
    while (!bytes.isEmpty()) {
        const qint64 written = file_.write(bytes.data(), bytes.size());
        if (written <= 0) {
            return false;
        }
        bytes = bytes.sliced(written);
    }
    return true;
}

void ResultsFile::Abandon() {
    abandoned_ = true;
    Discard();
}

void ResultsFile::Discard() {
    if (file_.isOpen()) {
        // A commit after a cancel removes the temporary file and leaves the target alone.
        file_.cancelWriting();
        file_.commit();
    }
}

ResultsFile::Outcome ResultsFile::Fail(const QString& reason) {
    reason_ = reason;
    return Outcome::Failed;
}

} // namespace scanvale
