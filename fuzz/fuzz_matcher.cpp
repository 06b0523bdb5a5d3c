// Fuzzes the whole examination of one file (sniff, blocks, carry, matcher) against a naive
// search of the whole text; a file that begins with a UTF-16 or UTF-32 byte-order mark is
// decoded by the fuzzer's own reading (wide_text_oracle.h) first. The input chooses the
// comparison mode, the block size (1 to 64 bytes, or the program's 102400), the phrase and the
// file's contents; one input in eight is searched a second time through the search pipeline,
// as the only file of a folder, by 1 to 4 workers (starting threads costs far more than the
// examination, which gets most of the time).
//
// Input: [mode byte][block byte][phrase length byte][phrase][file contents]. Mode byte: bit 0
// case-insensitive, bits 1-3 all set through the pipeline too, bits 4-5 the workers less one.
#include "recording_host.h"
#include "search/globals.h"
#include "search/pipeline.h"
#include "search/search.h"
#include "search/text_sniff.h"
#include "search_file.h"
#include "wide_text_oracle.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unicode/uchar.h>
#include <unicode/utf8.h>
#include <unistd.h>
#include <vector>

namespace Search = scanvale::Search;
namespace Globals = scanvale::Globals;

namespace {

// The text as case-folded units: each well-formed character one folded code point, each
// byte outside a well-formed character one unit of its own that equals only the same byte.
// ICU's own decoder decides what is well-formed.
std::vector<int32_t> Folded(const std::string& text) {
    std::vector<int32_t> units;
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const auto n = static_cast<int32_t>(text.size());
    int32_t i = 0;
    while (i < n) {
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(p, i, n, c);
        if (c >= 0) {
            units.push_back(static_cast<int32_t>(u_foldCase(c, U_FOLD_CASE_DEFAULT)));
        } else {
            for (int32_t j = start; j < i; ++j) {
                units.push_back(0x110000 + p[j]);
            }
        }
    }
    return units;
}

Search::Comparison Comparison(bool caseless) {
    return caseless ? Search::Comparison::Caseless : Search::Comparison::Exact;
}

bool NaiveFind(const std::string& text, const std::string& phrase, bool caseless) {
    if (phrase.empty()) {
        return !text.empty();
    }
    if (!caseless) {
        return text.find(phrase) != std::string::npos;
    }
    const std::vector<int32_t> t = Folded(text);
    const std::vector<int32_t> f = Folded(phrase);
    return std::search(t.begin(), t.end(), f.begin(), f.end()) != t.end();
}

// Every literal-scan kernel this machine runs must answer as the portable one does, and the
// phrase's match in the whole text under it must be `present`. The scan is asked with and
// without the report of high bytes; a caseless scan takes only ASCII needles.
void CheckEveryKernel(const std::string& phrase, const std::string& text, bool caseless,
                      bool present) {
    using Search::LiteralFinder;
    const bool ascii = std::all_of(phrase.begin(), phrase.end(),
                                   [](char c) { return static_cast<uint8_t>(c) < 0x80; });
    const std::vector<LiteralFinder::Kernel> kernels = LiteralFinder::Kernels();
    int portable = -1; // the portable kernel's answers, one bit each
    for (const LiteralFinder::Kernel kernel : kernels) {
        LiteralFinder::UseKernel(kernel);
        bool found = false;
        bool tracked = false;
        bool high = false;
        if (!phrase.empty()) {
            const LiteralFinder finder(phrase, caseless && ascii);
            found = finder.FoundIn(text);
            tracked = finder.FoundIn(text, &high);
        }
        const int answers = int{found} | int{tracked} << 1 | int{high} << 2 |
                            int{LiteralFinder::HasNonAscii(text)} << 3;
        if (portable < 0) {
            portable = answers;
        }
        if (answers != portable ||
            Search::Phrase(phrase, Comparison(caseless)).FoundIn(text) != present) {
            std::abort();
        }
    }
    LiteralFinder::UseKernel(kernels.back());
}

// The file the engine examines: one in-memory file, rewritten for every input and opened
// by the engine through its /proc name. Returns that name.
const std::string& HoldInFile(const std::string& contents) {
    static const int fd = ::memfd_create("scanvale-fuzz", MFD_CLOEXEC);
    static const std::string path = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0 || ::ftruncate(fd, 0) != 0 ||
        ::pwrite(fd, contents.data(), contents.size(), 0) !=
            static_cast<ssize_t>(contents.size())) {
        std::abort();
    }
    return path;
}

// A temporary folder, removed with its file f when the fuzzer ends.
struct ScratchFolder {
    std::string path;
    ScratchFolder() {
        char name[] = "/tmp/scanvale-fuzz-XXXXXX";
        path = ::mkdtemp(name) != nullptr ? name : "";
    }
    ~ScratchFolder() {
        ::unlink((path + "/f").c_str());
        ::rmdir(path.c_str());
    }
};

// The file the pipeline examines: the only file of a folder of its own, rewritten for every
// input. Returns the folder.
const std::string& HoldInFolder(const std::string& contents) {
    static const ScratchFolder scratch;
    const std::string& folder = scratch.path;
    const int fd = ::open((folder + "/f").c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (folder.empty() || fd < 0 ||
        ::write(fd, contents.data(), contents.size()) != static_cast<ssize_t>(contents.size())) {
        std::abort();
    }
    ::close(fd);
    return folder;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) {
        return 0;
    }
    const bool caseless = (data[0] & 1) != 0;
    const size_t block =
        data[1] == 0xFF ? Search::BlockSize : static_cast<size_t>(data[1] % 64) + 1;
    const size_t phraseLength = std::min<size_t>(data[2], size - 3);
    const std::string phrase(reinterpret_cast<const char*>(data + 3), phraseLength);
    const std::string text(reinterpret_cast<const char*>(data + 3 + phraseLength),
                           size - 3 - phraseLength);

    bool searched = !text.empty() &&
                    Search::LooksLikeText(std::string_view(text).substr(0, Search::SniffLength));
    const fuzz::WideReading wide =
        fuzz::ReadWide(reinterpret_cast<const uint8_t*>(text.data()), text.size());
    if (wide.marked) {
        // No mark begins with a byte that the first sniff takes as text.
        if (searched) {
            std::abort();
        }
        searched = wide.text;
    }
    const std::string& content = wide.marked ? wide.utf8 : text;
    const bool present = NaiveFind(content, phrase, caseless);
    const bool expected = searched && present;
    CheckEveryKernel(phrase, content, caseless, present);

    const std::string& path = HoldInFile(text);
    Globals::StopSearch = false;
    scanvale::test::RecordingHost host;
    const bool found = scanvale::test::SearchFile(path, phrase, Comparison(caseless), host, block);
    if (found != expected || host.results.size() != (found ? 1u : 0u)) {
        std::abort();
    }
    if ((data[0] & 0x0E) == 0x0E) {
        const std::string& folder = HoldInFolder(text);
        scanvale::test::RecordingHost pipelined;
        const Search::SearchSettings settings{.blockSize = block,
                                              .workers = 1u + ((data[0] >> 4) & 3u)};
        const Search::Query query{
            .phrase = phrase, .comparison = Comparison(caseless), .includeSubfolders = false};
        Search::SearchFolder(folder, query, pipelined, settings);
        if (pipelined.results.size() != (expected ? 1u : 0u)) {
            std::abort();
        }
        // The workers free the pipeline as they end; within the input, so that the fuzzer's
        // leak check sees every allocation of the input freed.
        while (Search::Pipeline::RunningWorkers() != 0) {
            std::this_thread::yield();
        }
    }
    return 0;
}
