#pragma once

#include "form_fixture.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

class QAbstractButton;
class QTableView;

namespace scanvale::test {

// The file types the save dialog offers.
extern const QStringList SaveFilters;

QByteArray ReadBytes(const QString& path);
bool WriteBytes(const QString& path, const QByteArray& bytes);
// The results file expected for `paths`: each path followed by CR LF.
QByteArray AsLines(const QList<QByteArray>& paths);
// Every entry of `dir`, hidden ones included, by name.
QStringList Entries(const QString& dir);
// How many of this process's open files lie in `dir` (an unnamed temporary file counts too).
int OpenFilesIn(const QString& dir);

// A loaded window holding `paths` as results, recording its pointer changes.
struct SaveFixture : FormFixture {
    QTableView* results = nullptr;
    QAbstractButton* save = nullptr;
    QList<PointerKind> pointers;

    explicit SaveFixture(const QList<QByteArray>& paths = {});
    // The texts of the message boxes shown, in order.
    QStringList Messages() const;
};

} // namespace scanvale::test
