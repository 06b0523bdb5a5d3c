#include "search/file_system_kind.h"

#include "search/file_access.h"
#include "search/file_descriptor.h"
#include "search/search.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <linux/magic.h>
#include <string>
#include <string_view>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace scanvale::Search::FileSystemKind {

namespace {

// Magic numbers that <linux/magic.h> leaves out (the kernel's fs/configfs, fs/fuse/control.c
// and ipc/mqueue.c define them).
constexpr unsigned long ConfigFsMagic = 0x62656570;
constexpr unsigned long FuseControlMagic = 0x65735543;
constexpr unsigned long MessageQueueMagic = 0x19800202;

bool FileSystemType(int descriptor, unsigned long& type) {
    struct statfs fs {};
    int status = 0;
    do {
        status = ::fstatfs(descriptor, &fs);
    } while (status != 0 && errno == EINTR);
    if (status != 0) {
        return false;
    }
    type = static_cast<unsigned long>(fs.f_type);
    return true;
}

// The file system type that this process's mount table gives for the device `device`, empty
// when none does. A line of /proc/self/mountinfo reads "<id> <parent> <major>:<minor> <root>
// <mount point> <options> [<optional fields>] - <type> <source> <super options>".
std::string MountedType(dev_t device) {
    const FileDescriptor table(FileAccess::OpenFileAt(AT_FDCWD, "/proc/self/mountinfo"));
    if (!table.Valid()) {
        return {};
    }
    std::string text;
    char block[16384];
    for (size_t got = sizeof block; got == sizeof block;) {
        got = ReadBlock(table.Get(), text.size(), block, sizeof block);
        text.append(block, got);
    }
    const std::string wanted =
        " " + std::to_string(major(device)) + ":" + std::to_string(minor(device)) + " ";
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string_view line(text.data() + at, end - at);
        at = end + 1;
        // The device is the third field: the first two are numbers without spaces.
        const size_t first = line.find(' ');
        const size_t second = first == std::string_view::npos ? first : line.find(' ', first + 1);
        if (second == std::string_view::npos || line.compare(second, wanted.size(), wanted) != 0) {
            continue;
        }
        const size_t separator = line.find(" - ");
        if (separator == std::string_view::npos) {
            continue;
        }
        const std::string_view rest = line.substr(separator + 3);
        return std::string(rest.substr(0, rest.find(' ')));
    }
    return {};
}

} // namespace

bool InMemory(int file) {
    unsigned long type = 0;
    if (!FileSystemType(file, type)) {
        return false;
    }
    switch (type) {
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
        return true;
    default:
        return false;
    }
}

bool EntersTheKernel(int folder, dev_t device, dev_t parentDevice) {
    if (device == parentDevice) {
        return false; // within one file system: entered, or not, with its parent
    }
    unsigned long type = 0;
    if (!FileSystemType(folder, type)) {
        return false;
    }
    switch (type) {
    case PROC_SUPER_MAGIC:
    case SYSFS_MAGIC:
    case DEVPTS_SUPER_MAGIC:
    case CGROUP_SUPER_MAGIC:
    case CGROUP2_SUPER_MAGIC:
    case DEBUGFS_MAGIC:
    case TRACEFS_MAGIC:
    case SECURITYFS_MAGIC:
    case PSTOREFS_MAGIC:
    case BPF_FS_MAGIC:
    case ConfigFsMagic:
    case FuseControlMagic:
    case EFIVARFS_MAGIC:
    case MessageQueueMagic:
    case BINFMTFS_MAGIC:
    case HUGETLBFS_MAGIC:
        return true;
    case TMPFS_MAGIC:
    case RAMFS_MAGIC:
        // devtmpfs is a tmpfs (or ramfs) to fstatfs; only the mount table tells them apart.
        return MountedType(device) == "devtmpfs";
    default:
        return false;
    }
}

} // namespace scanvale::Search::FileSystemKind
