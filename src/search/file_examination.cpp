#include "search/file_examination.h"

#include "search/file_access.h"
#include "search/file_holes.h"
#include "search/search.h"
#include "search/search_statistics.h"
#include "search/text_sniff.h"
#include "search/wide_text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>
#include <sys/stat.h>

namespace scanvale::Search {

namespace {

// The carry to keep in front of the next block: the end of `text` (the previous carry followed
// by the block just read) that an occurrence crossing into the next block can start in. Taken
// from the whole text, so a phrase longer than one block is found as well.
std::string_view TextTail(std::string_view text, const Phrase& phrase) {
    return text.substr(text.size() - phrase.TailLength(text));
}

// Searches one text of the file; `more` tells that further bytes of the file follow it.
bool SearchText(std::string_view text, bool more, const Phrase& phrase) {
    return phrase.FoundIn(more ? text.substr(0, phrase.SearchableLength(text)) : text);
}

// The texts of a file searched as its bytes: the carry followed by the block.
class ByteTexts {
public:
    explicit ByteTexts(BlockBuffer& buffer) : buffer_(buffer) {}
    // A block read elsewhere (ExamineContents) is always a file's only one: no carry to put
    // in front of it.
    std::string_view Text(const char* block, size_t got, bool /*more*/) {
        const char* room = buffer_.Block();
        const bool inRoom =
            block >= room && block < room + buffer_.SpanBlocks() * buffer_.BlockSize();
        return inRoom ? buffer_.Text(block, got) : std::string_view(block, got);
    }
    // `nextFollows`: the next block was read with this one and lies right after `text`, its
    // tail already in front of it; otherwise the next block is still to be read to Block().
    void Keep(std::string_view text, size_t length, bool nextFollows) {
        if (nextFollows) {
            buffer_.KeepTailInPlace(length);
        } else {
            buffer_.KeepTail(text, length);
        }
    }

private:
    BlockBuffer& buffer_;
};

// The texts of a file in UTF-16 or UTF-32: the carry followed by the block decoded to UTF-8,
// the byte-order mark left out. The decoded text holds whole characters only, a character cut
// by the block's end coming whole with the next block.
class WideTexts {
public:
    WideTexts(BlockBuffer& buffer, WideEncoding encoding)
        : buffer_(buffer), decoder_(encoding), mark_(MarkLength(encoding)),
          decoded_(buffer.Decoded(WideDecoder::MostOutput(buffer.BlockSize()))) {}
    std::string_view Text(const char* block, size_t got, bool more) {
        const size_t mark = std::min(mark_, got); // tiny blocks may hold a part of the mark
        mark_ -= mark;
        return buffer_.DecodedText(decoder_.Decode(block + mark, got - mark, !more, decoded_));
    }
    void Keep(std::string_view text, size_t length, bool /*nextFollows*/) {
        buffer_.KeepDecodedTail(text, length);
    }

private:
    BlockBuffer& buffer_;
    WideDecoder decoder_;
    size_t mark_; // bytes of the mark not yet passed
    char* decoded_;
};

// Searches the text (`texts`) of a file no longer than a block, whose `contents` were read
// already; `whole`: the file is one whole block long.
template <typename Texts>
bool SearchOnlyBlock(std::string_view contents, bool whole, const Phrase& phrase,
                     ExaminationSteps& steps, Texts texts) {
    if (!steps.GoOn(whole)) {
        return false;
    }
    return SearchText(texts.Text(contents.data(), contents.size(), false), false, phrase);
}

// Reads the blocks of a file longer than one block in order and searches each block's text
// (`texts`, made for the buffer the blocks are read into) with the carry in front. The blocks
// are read into `buffer` one at a time, or several at once when `buffer` is a span buffer;
// GoOn is asked before each block either way.
template <typename Texts>
bool SearchBlocks(int file, const struct stat& st, const Phrase& phrase, BlockBuffer& buffer,
                  ExaminationSteps& steps, Texts texts) {
    const auto length = static_cast<uint64_t>(st.st_size);
    const size_t blockSize = buffer.BlockSize();
    const uint64_t blocks = (length + blockSize - 1) / blockSize; // the last may be partial
    FileHoles holes(file, st);
    // A sparse file is read block by block, so that a block wholly inside a hole is not read.
    const size_t span = holes.Sparse() ? 1 : buffer.SpanBlocks();
    size_t read = 0; // bytes at Block() from the last read
    size_t used = 0; // of them, searched
    for (uint64_t k = 0; k < blocks; ++k) {
        const uint64_t offset = k * blockSize;
        const size_t size = static_cast<size_t>(std::min<uint64_t>(blockSize, length - offset));
        if (!steps.GoOn(size == blockSize)) {
            return false;
        }
        if (used == read) {
            const auto n =
                static_cast<size_t>(std::min<uint64_t>(span * blockSize, length - offset));
            if (holes.InHole(offset, n)) {
                std::memset(buffer.Block(), 0, n); // a hole reads as zeros
                read = n;
            } else {
                read = steps.Read(file, offset, buffer.Block(), n);
            }
            used = 0;
        }
        const char* block = buffer.Block() + used;
        const size_t got = std::min(size, read - used);
        used += got;
        const bool more = got == size && k + 1 < blocks;
        const std::string_view text = texts.Text(block, got, more);
        if (SearchText(text, more, phrase)) {
            return true;
        }
        if (!more) {
            return false;
        }
        texts.Keep(text, TextTail(text, phrase).size(), used < read);
    }
    return false;
}

} // namespace

size_t ExaminationSteps::Read(int file, uint64_t offset, char* destination, size_t n) {
    return ReadBlock(file, offset, destination, n);
}

bool ExamineFile(int folder, const char* name, const Phrase& phrase, BlockBuffer& buffer,
                 ExaminationSteps& steps) {
    const FileDescriptor file = FileAccess::OpenFileAt(folder, name);
    struct stat st {};
    if (!file.Valid() || ::fstat(file.Get(), &st) != 0) {
        return false;
    }
    return ExamineOpenFile(file, st, phrase, buffer, steps);
}

bool ExamineOpenFile(const FileDescriptor& file, const struct stat& st, const Phrase& phrase,
                     BlockBuffer& buffer, ExaminationSteps& steps) {
    if (!S_ISREG(st.st_mode) || st.st_size <= 0) {
        return false;
    }
    Statistics.filesExamined.fetch_add(1, std::memory_order_relaxed);
    // The length is taken once: a file that grows meanwhile is read up to this length, one
    // that shrinks ends at its new end.
    const auto length = static_cast<uint64_t>(st.st_size);
    buffer.ClearCarry();

    // A file of at most one block is read at once and sniffed in place; a larger one is
    // sniffed with a read of its first bytes alone, so binary files cost one small read. Only
    // a file that begins with a byte-order mark of UTF-16 or UTF-32 (always binary to the
    // first sniff) is looked at further.
    if (length <= buffer.BlockSize()) {
        const size_t got = steps.Read(file.Get(), 0, buffer.Block(), static_cast<size_t>(length));
        return ExamineContents({buffer.Block(), got}, length == buffer.BlockSize(), phrase, buffer,
                               steps);
    }
    char head[WideSniffLength];
    size_t got = steps.Read(file.Get(), 0, head, SniffLength);
    const bool longFile = length > buffer.BlockSize() * SpanBuffers::SpanBlocks;
    if (LooksLikeText({head, got})) {
        // A file of more than one span is read a span at a time where the examiner lends one.
        SpanBuffers::Lease span;
        if (longFile) {
            steps.LongFile();
            span = steps.BorrowSpan(phrase.CarryCapacity());
        }
        BlockBuffer& reading = span ? *span : buffer;
        if (span) {
            Statistics.filesSpanned.fetch_add(1, std::memory_order_relaxed);
        }
        return SearchBlocks(file.Get(), st, phrase, reading, steps, ByteTexts(reading));
    }
    if (!MarkedEncoding({head, got})) {
        return false;
    }
    got += steps.Read(file.Get(), got, head + got, WideSniffLength - got);
    const std::optional<WideEncoding> wide = WideTextEncoding({head, got});
    if (!wide) {
        return false;
    }
    if (longFile) {
        steps.LongFile();
    }
    return SearchBlocks(file.Get(), st, phrase, buffer, steps, WideTexts(buffer, *wide));
}

bool ExamineContents(std::string_view contents, bool wholeBlock, const Phrase& phrase,
                     BlockBuffer& buffer, ExaminationSteps& steps) {
    buffer.ClearCarry();
    if (LooksLikeText(contents.substr(0, SniffLength))) {
        return SearchOnlyBlock(contents, wholeBlock, phrase, steps, ByteTexts(buffer));
    }
    const std::optional<WideEncoding> wide = WideTextEncoding(contents);
    return wide && SearchOnlyBlock(contents, wholeBlock, phrase, steps, WideTexts(buffer, *wide));
}

size_t ReadBlock(int file, uint64_t offset, char* destination, size_t n) {
    size_t done = 0;
    while (done < n) {
        const ssize_t got =
            ::pread(file, destination + done, n - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            break;
        }
        done += static_cast<size_t>(got);
    }
    Statistics.bytesRead.fetch_add(done, std::memory_order_relaxed);
    return done;
}

} // namespace scanvale::Search
