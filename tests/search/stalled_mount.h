#pragma once

#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <string>

namespace scanvale::test {

// How soon a stop must end a search while a call stalls: at once, which the sanitizers (on a
// loaded machine) slow down; there the bound only has to tell it from a wait on the call.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr double StopBoundMs = 500;
#else
inline constexpr double StopBoundMs = 50;
#endif

// The FUSE file system of stall_fs.py mounted on a fresh temporary folder: reading its file
// a-stalls.txt, or looking up its hidden folder lookup-stalls, waits until Release(). Released
// and unmounted when this object goes away. Needs /dev/fuse, fusermount3 and Debian's
// python3-fusepy; Ok() tells whether the file system is mounted and Error() why not.
class StalledMount {
public:
    StalledMount();
    ~StalledMount();
    StalledMount(const StalledMount&) = delete;
    StalledMount& operator=(const StalledMount&) = delete;

    bool Ok() const { return mounted_; }
    const QString& Error() const { return error_; }
    // The mount point, and a path below it.
    QString MountPoint() const { return mount_.path(); }
    std::string Path(const std::string& relative) const;

    // Whether a read of a-stalls.txt, or a lookup of lookup-stalls, has begun to wait.
    bool ReadStalled() const;
    bool LookupStalled() const;
    // Lets every waiting and later call finish.
    void Release();

private:
    QTemporaryDir mount_;
    QTemporaryDir control_;
    QProcess server_;
    bool mounted_ = false;
    QString error_;
};

} // namespace scanvale::test
