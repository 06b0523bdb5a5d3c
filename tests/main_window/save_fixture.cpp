#include "save_fixture.h"

#include "results_model.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QTableView>

namespace scanvale::test {

const QStringList SaveFilters{QStringLiteral("Text Files (*.txt)"),
                              QStringLiteral("All Files (*.*)")};

QByteArray ReadBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray AsLines(const QList<QByteArray>& paths) {
    QByteArray bytes;
    for (const QByteArray& path : paths) {
        bytes += path + "\r\n";
    }
    return bytes;
}

QStringList Entries(const QString& dir) {
    return QDir(dir).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

int OpenFilesIn(const QString& dir) {
    int count = 0;
    for (const QString& fd : QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::System)) {
        const QString target = QFile::symLinkTarget(QStringLiteral("/proc/self/fd/") + fd);
        count += target.startsWith(dir + QLatin1Char('/')) ? 1 : 0;
    }
    return count;
}

SaveFixture::SaveFixture(const QList<QByteArray>& paths) {
    Load();
    results = Find<QTableView>("ListView2");
    save = Find<QAbstractButton>("Check2");
    RowsOf(*results).Append(paths);
    QObject::connect(form.get(), &Form1::MousePointerChanged, form.get(),
                     [this](PointerKind kind) { pointers.append(kind); });
}

QStringList SaveFixture::Messages() const {
    QStringList texts;
    for (const ScriptedDialogs::Call& call : dialogs.calls) {
        if (call.kind == ScriptedDialogs::Call::Kind::Message) {
            texts << call.text;
        }
    }
    return texts;
}

} // namespace scanvale::test
