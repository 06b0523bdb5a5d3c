#include "random_tree.h"

#include <QStringEncoder>
#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace scanvale::test {

RandomTree::RandomTree(const TestTree& tree, unsigned seed, Shape shape)
    : tree_(tree), random_(seed), depth_(shape == Shape::RealLike ? 8 + static_cast<int>(seed % 13)
                                         : seed % 5 == 0          ? 1
                                                                  : 1 + static_cast<int>(seed % 4)),
      wide_(shape == Shape::Small && seed % 5 == 0) {
    if (shape == Shape::Small) {
        FillSmall("", 0);
    } else {
        FillRealLike();
        LinkFolders();
    }
}

void RandomTree::DropPages() const {
    for (const std::string& path : files_) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd >= 0) {
            ::fdatasync(fd);
            ::posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
            ::close(fd);
        }
    }
}

std::string RandomTree::Name() {
    static const std::vector<std::string> pieces = {
        "a", "B", "f", "z", ".", "-", " ", "\n", "\xFF", "\xC3\xA9", "\x01", "~", "10", "2"};
    std::string name;
    for (size_t n = 1 + Pick(4); n > 0; --n) {
        name += pieces[Pick(pieces.size())];
    }
    return name == "." || name == ".." ? name + "x" : name;
}

std::string RandomTree::Contents() {
    static const std::vector<std::string> heads = {
        "", "Plain", "\tTab", "\xEF\xBB\xBFmark", "\x01\x02bin", "caf\xC3\xA9", "\xC3", "x"};
    static const std::vector<std::string> phrases = {"needle", "NEEDLE", "NeEdLe", "need"};
    std::string text = heads[Pick(heads.size())];
    for (size_t n = Pick(4); n > 0; --n) {
        text += std::string(Pick(Pick(8) == 0 ? 200 : 12), 'a' + static_cast<char>(Pick(3)));
        text += phrases[Pick(phrases.size())];
    }
    return Widened(text);
}

std::string RandomTree::Widened(const std::string& text) {
    static const QStringConverter::Encoding encodings[] = {
        QStringConverter::Utf16LE, QStringConverter::Utf16BE, QStringConverter::Utf32LE,
        QStringConverter::Utf32BE};
    const size_t kind = Pick(32);
    if (kind >= 4) {
        return text;
    }
    QString wide = QString::fromUtf8(text);
    std::string after;
    const size_t flaw = Pick(4);
    if (flaw == 0) {
        wide.insert(static_cast<qsizetype>(Pick(static_cast<size_t>(wide.size()) + 1)),
                    QChar(0xD800));
    } else if (flaw == 1) {
        after = std::string(1 + Pick(3), 'e');
    }
    QStringEncoder encode(encodings[kind], QStringConverter::Flag::WriteBom);
    const QByteArray bytes = encode(wide);
    return bytes.toStdString() + after;
}

void RandomTree::WriteFile(const std::string& path) {
    files_.push_back(tree_.Write(path, Contents()));
}

void RandomTree::FillSmall(const std::string& folder, int depth) {
    const std::string prefix = folder.empty() ? "" : folder + "/";
    const bool wide = wide_ && depth == 0;
    for (size_t n = wide ? 140 + Pick(20) : 2 + Pick(10); n > 0; --n) {
        const std::string path = prefix + Name() + (wide ? std::to_string(n) : "");
        struct stat st {};
        if (::lstat(tree_.Path(path).c_str(), &st) == 0) {
            continue; // the name is taken
        }
        const size_t kind = wide ? (Pick(4) == 0 ? 19 : 0) : Pick(20);
        if (kind < 7 && depth < depth_) {
            tree_.Folder(path);
            FillSmall(path, depth + 1);
            if (Pick(8) == 0) {
                ::chmod(tree_.Path(path).c_str(), Pick(2) == 0 ? 0 : 0300);
            }
        } else if (kind == 7) {
            tree_.Link(Pick(2) == 0 && depth > 0 ? ".." : ".", path); // back up the tree
        } else if (kind == 8) {
            tree_.Link(Pick(2) == 0 ? "missing" : tree_.Root(), path);
        } else if (kind == 9) {
            tree_.Fifo(path);
        } else if (kind == 10) {
            WriteFile(path);
            ::chmod(tree_.Path(path).c_str(), 0);
        } else {
            WriteFile(path);
        }
    }
}

void RandomTree::FillRealLike() {
    constexpr size_t MostFolders = 1500;
    folders_.push_back({"", 0, 0});
    // Folders whose entries are still to be made. Any of them is filled next, so the tree grows
    // across its width rather than down its first branch alone; a folder's only subfolder is
    // filled at once, which makes chains.
    std::vector<size_t> open = {0};
    bool chain = false;
    while (!open.empty()) {
        const size_t at = chain ? open.size() - 1 : Pick(open.size());
        const size_t index = open[at];
        open[at] = open.back();
        open.pop_back();
        const std::string prefix = folders_[index].path.empty() ? "" : folders_[index].path + "/";
        const int depth = folders_[index].depth;

        if (Pick(5) >= 2) { // the rest hold no files
            for (size_t n = 1 + Pick(Pick(4) == 0 ? 30 : 5); n > 0; --n) {
                const std::string path = prefix + Name() + std::to_string(n);
                struct stat st {};
                if (::lstat(tree_.Path(path).c_str(), &st) == 0) {
                    continue; // the name is taken
                }
                const size_t kind = Pick(60);
                if (kind == 0) {
                    tree_.Fifo(path);
                } else if (kind == 1) {
                    tree_.Link(files_.empty() || Pick(2) == 0 ? "missing" : files_.back(), path);
                } else {
                    WriteFile(path);
                }
            }
        }
        size_t subfolders = 0;
        if (index == 0) {
            subfolders = 20 + Pick(40); // a top wide enough that the tree does not die out
        } else if (depth < depth_) {
            const size_t r = Pick(100);
            subfolders = r < 45   ? 0
                         : r < 75 ? 1
                         : r < 90 ? 2 + Pick(5)
                         : r < 97 ? 8 + Pick(40)
                                  : 100 + Pick(300);
            subfolders = std::min(subfolders, MostFolders - (folders_.size() - 1));
        }
        chain = subfolders == 1;
        for (size_t n = 0; n < subfolders; ++n) {
            Folder child{prefix + Name() + "d" + std::to_string(n), index, depth + 1};
            tree_.Folder(child.path);
            open.push_back(folders_.size());
            folders_.push_back(std::move(child));
        }
    }
    // Taken away last: nothing could be written into them afterwards by an unprivileged user.
    for (size_t i = 1; i < folders_.size(); ++i) {
        if (Pick(100) == 0) {
            ::chmod(tree_.Path(folders_[i].path).c_str(), Pick(2) == 0 ? 0 : 0300);
        }
    }
}

// Links to folders: up to an ancestor (cut by the descent guard), and down or across to a
// small tree elsewhere, which the walk then enters a second time. No link leads into a tree
// that holds a link, so every folder is walked a bounded number of times.
void RandomTree::LinkFolders() {
    for (size_t i = folders_.size() - 1; i > 0; --i) {
        folders_[folders_[i].parent].below += 1 + folders_[i].below;
    }
    auto within = [&](size_t inner, size_t outer) {
        for (size_t f = inner;; f = folders_[f].parent) {
            if (f == outer) {
                return true;
            }
            if (f == 0) {
                return false;
            }
        }
    };
    std::vector<size_t> holders; // folders that hold a link
    std::vector<size_t> targets; // folders a link leads down or across to
    for (size_t i = 1; i < folders_.size(); ++i) {
        if (Pick(40) != 0 ||
            std::any_of(targets.begin(), targets.end(), [&](size_t t) { return within(i, t); })) {
            continue;
        }
        const std::string link = folders_[i].path + "/link" + std::to_string(i);
        const size_t kind = Pick(3);
        if (kind == 0) {
            const size_t up = Pick(2) == 0 ? folders_[i].parent : 0;
            tree_.Link(up == folders_[i].parent ? ".." : tree_.Root(), link);
            holders.push_back(i);
            continue;
        }
        std::vector<size_t> candidates;
        for (size_t j = 1; j < folders_.size(); ++j) {
            const bool down = within(j, i) && j != i;
            const bool across = !within(i, j) && !within(j, i);
            if (folders_[j].below <= 20 && (kind == 1 ? down : across) &&
                std::none_of(holders.begin(), holders.end(),
                             [&](size_t h) { return within(h, j); })) {
                candidates.push_back(j);
            }
        }
        if (!candidates.empty()) {
            const size_t target = candidates[Pick(candidates.size())];
            tree_.Link(tree_.Path(folders_[target].path), link);
            holders.push_back(i);
            targets.push_back(target);
        }
    }
}

} // namespace scanvale::test
