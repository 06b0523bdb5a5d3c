// The physical limit for the benchmark: reads every regular file under the given folders with
// plain read() calls of 100 KiB and does nothing else. Prints files, bytes and seconds.
#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <ftw.h>
#include <memory>
#include <unistd.h>

namespace {

constexpr size_t Chunk = 102400;
char* buffer = nullptr;
unsigned long long files = 0;
unsigned long long bytes = 0;

int ReadOne(const char* path, const struct stat*, int type, FTW*) {
    if (type != FTW_F) {
        return 0;
    }
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        return 0;
    }
    ++files;
    ssize_t got = 0;
    while ((got = ::read(fd, buffer, Chunk)) > 0) {
        bytes += static_cast<unsigned long long>(got);
    }
    ::close(fd);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const auto storage = std::make_unique<char[]>(Chunk);
    buffer = storage.get();
    const auto start = std::chrono::steady_clock::now();
    for (int i = 1; i < argc; ++i) {
        ::nftw(argv[i], ReadOne, 64, FTW_PHYS);
    }
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::fprintf(stderr, "files %llu, bytes %llu, seconds %.3f\n", files, bytes, seconds.count());
    return 0;
}
