#pragma once

#include <unistd.h>
#include <utility>

namespace scanvale::Search {

// Owns one open file descriptor and closes it on every way out of a scope.
class FileDescriptor {
public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : fd_(fd) {}
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (fd_ >= 0) {
            // Not retried on EINTR: on Linux the descriptor is released either way.
            ::close(fd_);
        }
    }

    int Get() const { return fd_; }
    // Gives the descriptor up without closing it, to whoever closes it instead.
    int Release() { return std::exchange(fd_, -1); }
    bool Valid() const { return fd_ >= 0; }

private:
    int fd_ = -1;
};

} // namespace scanvale::Search
