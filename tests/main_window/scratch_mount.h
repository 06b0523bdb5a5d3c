#pragma once

#include <QString>
#include <QTemporaryDir>

namespace scanvale::test {

// A small tmpfs of its own, mounted on a fresh temporary folder and unmounted when this object
// goes away. Lets a test fill a disk or make a folder read-only without touching anything real.
// Mounting needs the right to mount (root in the test containers); ok() says whether it worked
// and error() why not.
class ScratchMount {
public:
    explicit ScratchMount(int sizeKiB);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool ok() const { return mounted_; }
    const QString& error() const { return error_; }
    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }

    // Remounts read-only; false (with error()) when that is refused.
    bool MakeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};

} // namespace scanvale::test
