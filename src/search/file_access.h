#pragma once

#include "search/file_descriptor.h"

#include <string_view>

// POSIX access for the walk and the file match: every descriptor close-on-exec, every call
// retried when a signal interrupts it.
namespace scanvale::Search::FileAccess {

// Opens a folder for listing. Paths longer than PATH_MAX are opened piece by piece, each piece
// relative to the folder the previous one opened, so the depth of a tree is no limit.
FileDescriptor OpenFolder(std::string_view path);

// Opens `name` in the open folder for reading, without blocking (a FIFO that appeared in place
// of a file must not hold the search) and without becoming a controlling terminal.
FileDescriptor OpenFileAt(int folder, const char* name);

} // namespace scanvale::Search::FileAccess
