#pragma once

#include "search/phrase.h"
#include "search/search_host.h"

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The search engine's entry point, the folder walk (SearchFolder), and the read of a block that
// its workers share (ReadBlock). Paths and phrases are bytes; the window passes the phrase as
// UTF-8.
namespace scanvale::Search {

// The program's block size; tests pass smaller ones to reach every block boundary.
inline constexpr size_t BlockSize = 102400;

// How a walk is carried out. The defaults are the program's; tests and the benchmark vary them.
struct SearchSettings {
    // Files are read in blocks of this many bytes.
    size_t blockSize = BlockSize;
    // Threads that list folders and examine files at once; 0 means one for each processor
    // this process may run on.
    unsigned workers = 0;
    // Threads that may be added while workers wait for the disk, so that more reads are in
    // flight at once than there are workers (a cold page cache answers many requests at once
    // almost as fast as one).
    unsigned waitingReaders = 30;
    // The longest the window's thread goes without handling its events while it shows a
    // walk's progress and results.
    std::chrono::microseconds yieldInterval{2000};
    // A batch's opens, first reads and closes go to the kernel together through io_uring where
    // it can be used (BatchReads); false examines every file on plain system calls.
    bool batchedReads = true;
};

// What a walk looks for, in one value: an option of the window is one field here.
struct Query {
    std::string phrase; // bytes; the window gives UTF-8
    Comparison comparison = Comparison::Exact;
    bool includeSubfolders = true;
};

// Walks `folder`: when it is a folder (or a link to one), shows "Searching " + folder as
// progress, offers its regular files (and symbolic links to them) in ascending byte order of
// their names to the file examination, lists the first one that holds the phrase, and then,
// when the query includes subfolders, walks each subfolder (symbolic links to folders
// included) the same way, in ascending byte order. When `folder` is no folder, nothing is
// shown and nothing found. A folder that is already being walked further up the same descent,
// and one below `folder` that lies on one of the kernel's pseudo file systems (/proc, /sys and
// the like: FileSystemKind::EntersTheKernel), is shown but not entered; a folder that cannot be
// read is skipped without a message.
//
// Worker threads make every file-system call; the caller's thread only shows what they found,
// in the walk's order, and gives the window its turn (results.Yield(), or results.Wait() when
// nothing is ready: for one yieldInterval just after events were shown, else until the workers
// wake it) at least every settings.yieldInterval. After each turn it tests
// Globals::StopSearch and, once it is set, returns at once: what was found beyond that point
// is dropped unseen, and workers still in a call (a stalled read, say) end on their own. A
// search started from inside a turn runs on its own workers.
void SearchFolder(const std::string& folder, const Query& query, scanvale::SearchHost& results,
                  const SearchSettings& settings = {});

// SearchFolder as the window calls it, with its options as they are read from its controls and
// converted here, once: CompareMode 0 compares exactly and any other value without regard to
// case; any non-zero IncludeSubfolders (the box's check state, 2 when ticked) includes them.
// Every file is offered whatever its name: ExtensionFilter is always {"*"} and not looked at.
void SearchFolder(const std::string& folder, const std::vector<std::string>& ExtensionFilter,
                  const std::string& phrase, int16_t CompareMode, int16_t IncludeSubfolders,
                  scanvale::SearchHost& results, const SearchSettings& settings = {});

// Reads up to n bytes at `offset` of the open file into `destination`, retrying interrupted
// and partial reads. Returns the count read: less than n only at the end of the file or on an
// error, which counts as the end.
size_t ReadBlock(int file, uint64_t offset, char* destination, size_t n);

} // namespace scanvale::Search
