#include "search/folder_walk.h"

#include "search/file_access.h"
#include "search/file_examination.h"
#include "search/globals.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>

namespace Search {

namespace {

enum class EntryKind { File, Folder, Other };

// What an entry lists as. A symbolic link counts as what it points to; a dangling link, a FIFO,
// a socket or a device counts as neither file nor folder.
EntryKind KindOf(int folder, const dirent& entry) {
    switch (entry.d_type) {
    case DT_REG:
        return EntryKind::File;
    case DT_DIR:
        return EntryKind::Folder;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    default:
        return EntryKind::Other;
    }
    struct stat st {};
    if (::fstatat(folder, entry.d_name, &st, 0) != 0) {
        return EntryKind::Other;
    }
    if (S_ISREG(st.st_mode)) {
        return EntryKind::File;
    }
    return S_ISDIR(st.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

std::string LowerCaseExtension(std::string_view name) {
    const size_t dot = name.rfind('.');
    std::string extension(dot == std::string_view::npos ? name : name.substr(dot + 1));
    for (char& c : extension) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c + ('a' - 'A'));
        }
    }
    return extension;
}

} // namespace

FolderWalk::FolderWalk(const std::vector<std::string>& extensionFilter, const Phrase& phrase,
                       bool includeSubfolders, scanvale::SearchHost& results, size_t blockSize)
    : extensionFilter_(extensionFilter), phrase_(phrase), includeSubfolders_(includeSubfolders),
      results_(results), buffer_(blockSize, phrase.CarryCapacity()) {}

void FolderWalk::Walk(std::string_view folder) {
    // The folder's own path, without trailing separators (except for the root itself).
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    path_.assign(folder);
    Visit();
}

bool FolderWalk::Admits(std::string_view name) const {
    if (extensionFilter_.empty()) {
        return false;
    }
    const std::string& first = extensionFilter_.front();
    return first == "*" || first == LowerCaseExtension(name);
}

bool FolderWalk::GiveWay() {
    results_.Yield();
    foldersSinceYield_ = 0;
    return Globals::StopSearch;
}

void FolderWalk::Visit() {
    if (++foldersSinceYield_ >= FolderYieldInterval && GiveWay()) {
        return;
    }
    {
        std::string progress = "Searching ";
        progress += path_;
        results_.ShowProgress(progress);
    }

    FileDescriptor folder = FileAccess::OpenFolder(path_);
    struct stat st {};
    if (!folder.Valid() || ::fstat(folder.Get(), &st) != 0) {
        return;
    }
    const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
    if (std::find(descent_.begin(), descent_.end(), id) != descent_.end()) {
        return; // a link back up the same descent: entering it again would never end
    }

    DirectoryListing subfolders;
    if (!List(folder.Get(), subfolders)) {
        return;
    }
    if (ExamineFiles(folder.Get())) {
        return;
    }
    folder = FileDescriptor();
    if (!includeSubfolders_) {
        return;
    }

    descent_.push_back(id);
    const size_t length = path_.size();
    for (size_t i = 0; i < subfolders.Size(); ++i) {
        if (Globals::StopSearch) {
            break;
        }
        if (path_.back() != '/') {
            path_ += '/';
        }
        path_ += subfolders.NameView(i);
        Visit();
        path_.resize(length);
    }
    descent_.pop_back();
}

bool FolderWalk::List(int folder, DirectoryListing& subfolders) {
    files_.Clear();
    // fdopendir takes over a descriptor of its own; `folder` stays the caller's for the files.
    const std::unique_ptr<DIR, int (*)(DIR*)> dir(::fdopendir(::fcntl(folder, F_DUPFD_CLOEXEC, 0)),
                                                  ::closedir);
    if (dir == nullptr) {
        return false;
    }
    size_t entries = 0;
    // readdir reports an error only through errno, which the calls below may also set.
    for (errno = 0; const dirent* entry = ::readdir(dir.get()); errno = 0) {
        if (++entries % ListingYieldInterval == 0) {
            // A folder of a hundred thousand names takes tens of milliseconds to list; the
            // window gets its turn meanwhile. A search started in this yield walks with its own
            // FolderWalk, and a folder changed meanwhile is listed as readdir presents it.
            if (GiveWay()) {
                return false;
            }
            errno = 0;
        }
        if (IsDotOrDotDot(entry->d_name)) {
            continue;
        }
        const EntryKind kind = KindOf(folder, *entry);
        if (kind == EntryKind::File) {
            files_.Add(entry->d_name);
        } else if (kind == EntryKind::Folder && includeSubfolders_) {
            subfolders.Add(entry->d_name);
        }
    }
    if (errno != 0) {
        return false; // the folder went away or cannot be read: skipped as a whole
    }
    files_.Sort();
    subfolders.Sort();
    return true;
}

bool FolderWalk::ExamineFiles(int folder) {
    const size_t length = path_.size();
    for (size_t i = 0; i < files_.Size(); ++i) {
        if (GiveWay()) {
            return true;
        }
        const std::string_view name = files_.NameView(i);
        if (!Admits(name)) {
            continue;
        }
        if (path_.back() != '/') {
            path_ += '/';
        }
        path_ += name;
        const bool found = ExamineFile(folder, files_.Name(i), path_, phrase_, buffer_, results_);
        path_.resize(length);
        if (found) {
            break;
        }
    }
    return Globals::StopSearch;
}

} // namespace Search
