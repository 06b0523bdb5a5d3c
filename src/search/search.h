#pragma once

#include "search/phrase.h"
#include "search/search_host.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The search engine: the folder walk (SearchFolder), the examination of one file (SearchFile,
// ReadBlock) and the match in a text (FindInText, TextTail). Paths and phrases are bytes; the
// window passes the phrase as UTF-8. Everything runs on the caller's thread and gives way to
// the window through SearchHost::Yield(); after every yield Globals::StopSearch is tested and,
// once set, the search unwinds without examining anything more.
namespace Search {

// The program's block size; tests pass smaller ones to reach every block boundary.
inline constexpr size_t BlockSize = 102400;

// Walks `folder`: shows "Searching " + folder as progress, offers its regular files (and
// symbolic links to them) in ascending byte order of their names to SearchFile, stops at the
// first one that matches, and then, when IncludeSubfolders is non-zero, walks each subfolder
// (symbolic links to folders included) the same way, in ascending byte order. A folder that is
// already being walked further up the same descent is not entered again; a folder that cannot
// be read is skipped without a message. A file is offered only when the first entry of
// ExtensionFilter is "*" or its lower-cased extension. The walk yields before every file.
//
// Each call owns its block buffer, so a search started from inside a yield of this one runs
// on its own buffer and leaves this one intact.
void SearchFolder(const std::string& folder, const std::vector<std::string>& ExtensionFilter,
                  const std::string& phrase, int16_t CompareMode, int16_t IncludeSubfolders,
                  scanvale::SearchHost& results, size_t blockSize = BlockSize);

// Examines one file: true when it is a regular text file that holds the phrase, in which case
// its path has been added to `results`. Binary-looking, empty, unreadable and special files
// (FIFOs, sockets, devices: never opened) give false; so does a stop. The file is read in
// blocks of `blockSize` bytes, yielding before every whole block.
bool SearchFile(const std::string& path, const std::string& phrase, int16_t CompareMode,
                scanvale::SearchHost& results, size_t blockSize = BlockSize);

// Reads up to n bytes at `offset` of the open file into `destination`, retrying interrupted
// and partial reads. Returns the count read: less than n only at the end of the file or on an
// error, which counts as the end.
size_t ReadBlock(int file, uint64_t offset, char* destination, size_t n);

// When the phrase occurs in `text`, adds `path` to `results` and returns true.
bool FindInText(std::string_view text, const Phrase& phrase, scanvale::SearchHost& results,
                std::string_view path);

// The carry to keep in front of the next block: the end of `text` (the previous carry
// followed by the block just read) that an occurrence crossing into the next block can start
// in. Taken from the whole text, so a phrase longer than one block is found as well.
std::string_view TextTail(std::string_view text, const Phrase& phrase);

} // namespace Search
