#pragma once

#include "search/block_buffer.h"
#include "search/directory_listing.h"
#include "search/phrase.h"
#include "search/search.h"
#include "search/search_host.h"

#include <cstddef>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

namespace scanvale::test {

// The reference for the program's pipelined walk: the same walk done on the caller's thread
// alone, one call after another, giving the window its turn (Yield) before every file and
// every whole block. SearchFolderSequentially shows and lists exactly what Search::SearchFolder
// does; the differential test holds the two to that.
//
// At most one folder descriptor is open at any time: a folder's names are read and sorted,
// its files examined, and its descriptor closed before its subfolders are entered.
class SequentialWalk {
public:
    // The walk also yields on entering a folder when this many folders were entered since its
    // last yield: a tree of folders without files gives no file to yield before.
    static constexpr size_t FolderYieldInterval = 256;

    SequentialWalk(const Search::Phrase& phrase, bool includeSubfolders,
                   scanvale::SearchHost& results, size_t blockSize);

    void Walk(std::string_view folder);

private:
    // Walks the folder whose path is in path_; leaves path_ as it found it.
    void Visit();
    // Gives the window its turn; true when the search is to stop.
    bool GiveWay();
    // Examines the files listed in files_; true when the walk must stop.
    bool ExamineFiles(int folder);

    const Search::Phrase& phrase_;
    bool includeSubfolders_;
    scanvale::SearchHost& results_;
    Search::BlockBuffer buffer_;
    std::string path_;
    Search::DirectoryListing files_;
    std::vector<std::pair<dev_t, ino_t>> descent_; // the folders being walked, outermost first
    size_t foldersSinceYield_ = 0;
};

// Search::SearchFolder's contract, walked by SequentialWalk.
void SearchFolderSequentially(const std::string& folder, const Search::Query& query,
                              scanvale::SearchHost& results, size_t blockSize = Search::BlockSize);

} // namespace scanvale::test
