#pragma once

#include "search/block_buffer.h"
#include "search/phrase.h"
#include "search/search_host.h"

#include <cstddef>
#include <cstdint>

namespace scanvale::Search {

// What the examination of one file asks of whoever examines it.
class ExaminationSteps {
public:
    virtual ~ExaminationSteps() = default;

    // Asked before each whole block (`whole`) and before the last, partial one; false
    // abandons the file.
    virtual bool GoOn(bool whole) = 0;

    // Reads like ReadBlock; an examiner may read differently (first without waiting, say).
    virtual size_t Read(int file, uint64_t offset, char* destination, size_t n);
};

// The examination on the window's thread: yields to the host before each whole block and
// stops once Globals::StopSearch is set.
class YieldingSteps final : public ExaminationSteps {
public:
    explicit YieldingSteps(SearchHost& host) : host_(host) {}
    bool GoOn(bool whole) override;

private:
    SearchHost& host_;
};

// Examines the file `name` of the open folder `folder`: true when it is a regular text file
// that holds the phrase. Reads through `buffer`, whose block size applies. Holds one
// descriptor of the file while it runs and closes it on every way out.
bool ExamineFile(int folder, const char* name, const Phrase& phrase, BlockBuffer& buffer,
                 ExaminationSteps& steps);

} // namespace scanvale::Search
