#pragma once

#include "search/block_buffer.h"
#include "search/file_descriptor.h"
#include "search/phrase.h"
#include "search/span_buffers.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <sys/stat.h>

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

    // Told before the blocks of a text file longer than a span (SpanBuffers::SpanBlocks
    // blocks) are read, which takes a while.
    virtual void LongFile() {}

    // A buffer that reads several blocks of a long file at once, for that file alone; an
    // empty lease (the default) reads block by block through the examiner's own buffer.
    virtual SpanBuffers::Lease BorrowSpan(size_t /*carryCapacity*/) { return {}; }
};

// Examines the file `name` of the open folder `folder`: true when it is a regular text file
// that holds the phrase. Reads through `buffer`, whose block size applies. Holds one
// descriptor of the file while it runs and closes it on every way out.
bool ExamineFile(int folder, const char* name, const Phrase& phrase, BlockBuffer& buffer,
                 ExaminationSteps& steps);

// ExamineFile for a file opened already as FileAccess::OpenFileAt opens it, `st` its fstat.
bool ExamineOpenFile(const FileDescriptor& file, const struct stat& st, const Phrase& phrase,
                     BlockBuffer& buffer, ExaminationSteps& steps);

// The rest of ExamineFile for a regular file of at most one block whose bytes were read
// already, by whatever means: sniffs `contents` and searches them when they are text (wide
// text included), reading nothing and counting nothing. `wholeBlock`: the file is exactly one
// block long (GoOn is then asked as before a whole block). `contents` may lie outside
// `buffer`, which is used for the decoded text of a wide file.
bool ExamineContents(std::string_view contents, bool wholeBlock, const Phrase& phrase,
                     BlockBuffer& buffer, ExaminationSteps& steps);

} // namespace scanvale::Search
