#pragma once

#include "search/block_buffer.h"
#include "search/directory_listing.h"
#include "search/phrase.h"
#include "search/search_host.h"

#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace Search {

// One walk of a folder tree for SearchFolder, with everything that walk reuses: the prepared
// phrase, the block buffer, the path being built and the file names of the current folder.
//
// At most one folder descriptor is open at any time: a folder's names are read and sorted,
// its files examined, and its descriptor closed before its subfolders are entered, so deep
// trees cannot exhaust the descriptor limit, and the stack frame per level stays small.
class FolderWalk {
public:
    // While a folder is listed, the walk yields after this many names.
    static constexpr size_t ListingYieldInterval = 2048;
    // The walk also yields on entering a folder when this many folders were entered since its
    // last yield: a tree of folders without files (or of folders linked to each other) gives
    // no file to yield before, and the window would not answer, nor could the search be
    // stopped, until the whole tree was walked.
    static constexpr size_t FolderYieldInterval = 256;

    FolderWalk(const std::vector<std::string>& extensionFilter, const Phrase& phrase,
               bool includeSubfolders, scanvale::SearchHost& results, size_t blockSize);

    void Walk(std::string_view folder);

private:
    // Walks the folder whose path is in path_; leaves path_ as it found it.
    void Visit();
    bool Admits(std::string_view name) const;
    // Gives the window its turn; true when the search is to stop.
    bool GiveWay();
    // Lists the open folder's files into files_ and its subfolders (when wanted) into
    // `subfolders`, both sorted; false when the folder cannot be read or the search is stopped
    // meanwhile.
    bool List(int folder, DirectoryListing& subfolders);
    // Examines the files listed in files_; true when the walk must stop.
    bool ExamineFiles(int folder);

    const std::vector<std::string>& extensionFilter_;
    const Phrase& phrase_;
    bool includeSubfolders_;
    scanvale::SearchHost& results_;
    BlockBuffer buffer_;
    std::string path_;
    DirectoryListing files_;
    std::vector<std::pair<dev_t, ino_t>> descent_; // the folders being walked, outermost first
    size_t foldersSinceYield_ = 0;
};

} // namespace Search
