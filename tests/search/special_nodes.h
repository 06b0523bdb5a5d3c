#pragma once

#include <string>
#include <sys/types.h>

// Entries of the file system that are neither files nor folders, made for the engine's tests.
namespace scanvale::test::SpecialNodes {

// A UNIX-domain socket bound at `path` (the socket itself is closed again; the entry stays).
// False when the system refuses, e.g. for a path longer than a socket address holds.
bool MakeSocket(const std::string& path);

// A device node of the given kind (S_IFCHR or S_IFBLK) and numbers. Needs the privilege to
// make device nodes; false when it is missing.
bool MakeDevice(const std::string& path, mode_t kind, unsigned major, unsigned minor);

} // namespace scanvale::test::SpecialNodes
