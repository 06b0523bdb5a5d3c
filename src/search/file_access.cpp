#include "search/file_access.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>

namespace scanvale::Search::FileAccess {

namespace {

constexpr int FolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

int OpenAt(int folder, const char* path, int flags) {
    int fd = -1;
    do {
        fd = ::openat(folder, path, flags);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

FileDescriptor OpenFolder(std::string_view path) {
    if (path.size() < PATH_MAX) {
        return FileDescriptor(OpenAt(AT_FDCWD, std::string(path).c_str(), FolderFlags));
    }
    FileDescriptor current(OpenAt(AT_FDCWD, path.front() == '/' ? "/" : ".", FolderFlags));
    size_t start = path.find_first_not_of('/');
    while (current.Valid() && start < path.size()) {
        // The longest run of whole components that fits one call.
        size_t end = path.size();
        if (end - start >= PATH_MAX) {
            end = path.rfind('/', start + PATH_MAX - 1);
            if (end == std::string_view::npos || end <= start) {
                return {}; // a single name longer than PATH_MAX cannot exist
            }
        }
        const std::string piece(path.substr(start, end - start));
        current = FileDescriptor(OpenAt(current.Get(), piece.c_str(), FolderFlags));
        start = path.find_first_not_of('/', end);
    }
    return current;
}

FileDescriptor OpenFileAt(int folder, const char* name) {
    return FileDescriptor(OpenAt(folder, name, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
}

} // namespace scanvale::Search::FileAccess
