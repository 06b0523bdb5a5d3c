#include "search/file_access.h"
#include "search/file_examination.h"
#include "search/file_holes.h"
#include "search/globals.h"
#include "search/search.h"
#include "search/search_statistics.h"
#include "search/text_sniff.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <sys/stat.h>

namespace scanvale::Search {

namespace {

// Searches one text of the file; `more` tells that further bytes of the file follow it.
bool SearchText(std::string_view text, bool more, const Phrase& phrase) {
    return phrase.FoundIn(more ? text.substr(0, phrase.SearchableLength(text)) : text);
}

} // namespace

bool YieldingSteps::GoOn(bool whole) {
    if (whole) {
        host_.Yield();
    }
    return !Globals::StopSearch;
}

size_t ExaminationSteps::Read(int file, uint64_t offset, char* destination, size_t n) {
    return ReadBlock(file, offset, destination, n);
}

bool ExamineFile(int folder, const char* name, const Phrase& phrase, BlockBuffer& buffer,
                 ExaminationSteps& steps) {
    const FileDescriptor file = FileAccess::OpenFileAt(folder, name);
    struct stat st {};
    if (!file.Valid() || ::fstat(file.Get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0) {
        return false;
    }
    Statistics.filesExamined.fetch_add(1, std::memory_order_relaxed);
    // The length is taken once: a file that grows meanwhile is read up to this length, one
    // that shrinks ends at its new end.
    const auto length = static_cast<uint64_t>(st.st_size);
    const size_t blockSize = buffer.BlockSize();
    const uint64_t wholeBlocks = length / blockSize;
    const auto rest = static_cast<size_t>(length % blockSize);
    buffer.ClearCarry();

    // A file of at most one block is read at once and sniffed in place; a larger one is
    // sniffed with a read of its first bytes alone, so binary files cost one small read.
    size_t preRead = 0;
    bool text = false;
    if (length <= blockSize) {
        preRead = steps.Read(file.Get(), 0, buffer.Block(), static_cast<size_t>(length));
        text = LooksLikeText({buffer.Block(), std::min(preRead, SniffLength)});
    } else {
        char head[SniffLength];
        text = LooksLikeText({head, steps.Read(file.Get(), 0, head, SniffLength)});
    }
    if (!text) {
        return false;
    }

    FileHoles holes(file.Get(), st);
    // Reads the n bytes at `offset` into the block, zeros where they lie in a hole.
    auto read = [&](uint64_t offset, size_t n) {
        if (holes.InHole(offset, n)) {
            std::memset(buffer.Block(), 0, n);
            return n;
        }
        return steps.Read(file.Get(), offset, buffer.Block(), n);
    };
    for (uint64_t k = 0; k < wholeBlocks; ++k) {
        if (!steps.GoOn(true)) {
            return false;
        }
        const size_t got = k == 0 && length <= blockSize ? preRead : read(k * blockSize, blockSize);
        const bool more = got == blockSize && (k + 1 < wholeBlocks || rest > 0);
        const std::string_view block = buffer.Text(got);
        if (SearchText(block, more, phrase)) {
            return true;
        }
        if (!more) {
            return false;
        }
        buffer.KeepTail(block, TextTail(block, phrase).size());
    }
    if (rest > 0) {
        if (!steps.GoOn(false)) {
            return false;
        }
        const size_t got = wholeBlocks == 0 ? preRead : read(wholeBlocks * blockSize, rest);
        return SearchText(buffer.Text(got), false, phrase);
    }
    return false;
}

bool SearchFile(const std::string& path, const std::string& phrase, int16_t CompareMode,
                scanvale::SearchHost& results, size_t blockSize) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const FileDescriptor folderFd = FileAccess::OpenFolder(folder);
    if (!folderFd.Valid() || name.empty()) {
        return false;
    }
    const Phrase prepared(phrase, CompareMode);
    BlockBuffer buffer(blockSize, prepared.CarryCapacity());
    YieldingSteps steps(results);
    if (!ExamineFile(folderFd.Get(), name.c_str(), prepared, buffer, steps)) {
        return false;
    }
    results.AddResult(path);
    return true;
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
