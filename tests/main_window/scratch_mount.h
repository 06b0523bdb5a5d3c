#pragma once

#include <QString>
#include <QTemporaryDir>

namespace scanvale::test {

// A small tmpfs of its own, mounted on a fresh temporary folder and unmounted when this object
// goes away. Lets a test fill a disk or make a folder read-only without touching anything real.
// Mounting needs the right to mount (root in the test containers); Ok() says whether it worked
// and Error() why not.
class ScratchMount {
public:
    explicit ScratchMount(int sizeKiB);
    ~ScratchMount();
    ScratchMount(const ScratchMount&) = delete;
    ScratchMount& operator=(const ScratchMount&) = delete;

    bool Ok() const { return mounted_; }
    const QString& Error() const { return error_; }
    QString Path() const { return dir_.path(); }
    QString FilePath(const QString& name) const { return dir_.filePath(name); }

    // Remounts read-only; false (with Error()) when that is refused.
    bool MakeReadOnly();

private:
    QTemporaryDir dir_;
    bool mounted_ = false;
    QString error_;
};

} // namespace scanvale::test
