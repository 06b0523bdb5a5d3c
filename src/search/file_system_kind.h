#pragma once

#include <sys/types.h>

// What kind of file system an open file or folder lies on, for the two places where the walk
// treats some differently: reads that never wait for a device, and the kernel's own views of
// itself, which a walk that descends into them never leaves (every process's `cwd` link under
// /proc leads back into the tree; /sys holds hundreds of thousands of attributes).
namespace scanvale::Search::FileSystemKind {

// True when the open file's pages live in memory alone (tmpfs and the like), so that reading
// it never waits for a device.
bool InMemory(int file);

// True when the open folder `folder`, whose device is `device`, entered from a folder on
// `parentDevice`, leads onto one of the kernel's pseudo file systems: proc, sysfs, devtmpfs,
// devpts, cgroup and cgroup2, debugfs, tracefs, securityfs, pstore, bpf, configfs, fusectl,
// efivarfs, mqueue, binfmt_misc or hugetlbfs. Free when the two devices are the same; else an
// fstatfs, and for a tmpfs or ramfs (which devtmpfs reports itself as) a read of this
// process's mount table.
bool EntersTheKernel(int folder, dev_t device, dev_t parentDevice);

} // namespace scanvale::Search::FileSystemKind
