#include "tree_fixture.h"

#include <QtTest>
#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace scanvale::test {

namespace fs = std::filesystem;

namespace {

// Removes everything inside the open folder, however deep, by descriptors (paths of deep trees
// are too long to name) and restoring the permissions that tests take away.
void EmptyFolder(int folder) {
    DIR* dir = ::fdopendir(::dup(folder));
    if (dir == nullptr) {
        return;
    }
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    for (const std::string& name : names) {
        struct stat st {};
        if (::fstatat(folder, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode)) {
            ::fchmodat(folder, name.c_str(), 0700, 0);
            const int child = ::openat(folder, name.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (child >= 0) {
                EmptyFolder(child);
                ::close(child);
            }
            ::unlinkat(folder, name.c_str(), AT_REMOVEDIR);
        } else {
            ::unlinkat(folder, name.c_str(), 0);
        }
    }
}

} // namespace

TestTree::TestTree() : root_(dir_.path().toStdString()) {
    QVERIFY(dir_.isValid());
}

TestTree::TestTree(const QString& base)
    : dir_(base + "/scanvale-test-XXXXXX"), root_(dir_.path().toStdString()) {
    QVERIFY(dir_.isValid());
}

TestTree::~TestTree() {
    const int root = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (root >= 0) {
        EmptyFolder(root);
        ::close(root);
    }
}

std::string TestTree::Path(std::string_view relative) const {
    return relative.empty() ? root_ : root_ + "/" + std::string(relative);
}

std::vector<std::string> TestTree::Paths(const QStringList& relative) const {
    std::vector<std::string> paths;
    for (const QString& name : relative) {
        paths.push_back(Path(name.toStdString()));
    }
    return paths;
}

std::string TestTree::Write(std::string_view relative, std::string_view bytes) const {
    const std::string path = Path(relative);
    fs::create_directories(fs::path(path).parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
}

std::string TestTree::Folder(std::string_view relative) const {
    const std::string path = Path(relative);
    fs::create_directories(path);
    return path;
}

std::string TestTree::Link(std::string_view target, std::string_view relative) const {
    const std::string path = Path(relative);
    fs::create_directories(fs::path(path).parent_path());
    fs::create_symlink(std::string(target), path);
    return path;
}

std::string TestTree::Fifo(std::string_view relative) const {
    const std::string path = Path(relative);
    fs::create_directories(fs::path(path).parent_path());
    if (::mkfifo(path.c_str(), 0644) != 0) {
        qFatal("mkfifo failed");
    }
    return path;
}

std::string TestTree::WriteBelow(const std::vector<std::string>& folders,
                                 std::string_view bytes) const {
    std::string path = root_;
    int current = ::open(root_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    for (const std::string& folder : folders) {
        if (current < 0) {
            break;
        }
        ::mkdirat(current, folder.c_str(), 0755);
        const int next = ::openat(current, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        ::close(current);
        current = next;
        path += "/" + folder;
    }
    const int file = ::openat(current, "f.txt", O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool written = file >= 0 && ::write(file, bytes.data(), bytes.size()) ==
                                          static_cast<ssize_t>(bytes.size());
    ::close(file);
    ::close(current);
    if (!written) {
        qFatal("cannot write the file at the end of a chain of folders");
    }
    return path + "/f.txt";
}

std::string TestTree::WriteDeep(int levels, const std::string& folder,
                                std::string_view bytes) const {
    return WriteBelow(std::vector<std::string>(static_cast<size_t>(levels), folder), bytes);
}

} // namespace scanvale::test
