#include "sequential_walk.h"

#include "search/file_access.h"
#include "search/file_system_kind.h"
#include "search/folder_listing.h"
#include "search/globals.h"
#include "search_file.h"

#include <algorithm>
#include <sys/stat.h>

namespace scanvale::test {

SequentialWalk::SequentialWalk(const Search::Phrase& phrase, bool includeSubfolders,
                               scanvale::SearchHost& results, size_t blockSize)
    : phrase_(phrase), includeSubfolders_(includeSubfolders), results_(results),
      buffer_(blockSize, phrase.CarryCapacity()) {}

void SequentialWalk::Walk(std::string_view folder) {
    // The folder's own path, without trailing separators (except for the root itself).
    while (folder.size() > 1 && folder.back() == '/') {
        folder.remove_suffix(1);
    }
    path_.assign(folder);
    // A listed folder that is no folder is skipped without showing it.
    struct stat st {};
    if (!Search::FileAccess::OpenFolder(path_).Valid() &&
        (::stat(path_.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))) {
        return;
    }
    Visit();
}

bool SequentialWalk::GiveWay() {
    results_.Yield();
    foldersSinceYield_ = 0;
    return Globals::StopSearch;
}

void SequentialWalk::Visit() {
    if (++foldersSinceYield_ >= FolderYieldInterval && GiveWay()) {
        return;
    }
    results_.ShowProgress("Searching " + path_);

    Search::FileDescriptor folder = Search::FileAccess::OpenFolder(path_);
    struct stat st {};
    if (!folder.Valid() || ::fstat(folder.Get(), &st) != 0) {
        return;
    }
    const std::pair<dev_t, ino_t> id{st.st_dev, st.st_ino};
    if (std::find(descent_.begin(), descent_.end(), id) != descent_.end()) {
        return; // a link back up the same descent: entering it again would never end
    }
    if (!descent_.empty() &&
        Search::FileSystemKind::EntersTheKernel(folder.Get(), id.first, descent_.back().first)) {
        return; // the kernel's view of itself, reached by descent
    }

    Search::DirectoryListing subfolders;
    if (!Search::ListFolder(folder.Get(), files_, includeSubfolders_ ? &subfolders : nullptr,
                            [this] { return !GiveWay(); })) {
        return;
    }
    if (ExamineFiles(folder.Get())) {
        return;
    }
    folder = Search::FileDescriptor();

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

bool SequentialWalk::ExamineFiles(int folder) {
    YieldingSteps steps(results_);
    for (size_t i = 0; i < files_.Size(); ++i) {
        if (GiveWay()) {
            return true;
        }
        if (Search::ExamineFile(folder, files_.Name(i), phrase_, buffer_, steps)) {
            std::string path = path_;
            if (path.back() != '/') {
                path += '/';
            }
            path += files_.NameView(i);
            results_.AddResult(path);
            break;
        }
    }
    return Globals::StopSearch;
}

void SearchFolderSequentially(const std::string& folder, const Search::Query& query,
                              scanvale::SearchHost& results, size_t blockSize) {
    const Search::Phrase prepared(query.phrase, query.comparison);
    SequentialWalk walk(prepared, query.includeSubfolders, results, blockSize);
    walk.Walk(folder);
}

} // namespace scanvale::test
