#pragma once

#include "search/file_examination.h"
#include "search/phrase.h"
#include "search/search.h"
#include "search/search_host.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace scanvale::test {

// The program's examination of a file done on the caller's thread (by SearchFile and the tests'
// reference walk): yields to the host before each whole block and stops once Globals::StopSearch
// is set.
class YieldingSteps final : public Search::ExaminationSteps {
public:
    explicit YieldingSteps(SearchHost& host) : host_(host) {}
    bool GoOn(bool whole) override;

private:
    SearchHost& host_;
};

// Examines the one file `path` with YieldingSteps: true when it is a regular text file that
// holds the phrase, in which case its path has been added to `results`. Binary-looking, empty,
// unreadable and special files (FIFOs, sockets, devices: never opened) give false; so does a
// stop. The file is read in blocks of `blockSize` bytes, yielding before every whole block.
bool SearchFile(const std::string& path, std::string_view phrase, Search::Comparison comparison,
                SearchHost& results, size_t blockSize = Search::BlockSize);

} // namespace scanvale::test
