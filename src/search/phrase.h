#pragma once

#include "search/ascii_anchor.h"
#include "search/literal_finder.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace scanvale::Search {

// How a phrase is compared with a text.
enum class Comparison {
    Exact,    // byte for byte
    Caseless, // as UTF-8 text under Unicode simple case folding (see Phrase)
};

// The phrase of one search, prepared once for its comparison so that searching a block
// allocates nothing in the common cases.
//
// Exact compares bytes. Caseless compares UTF-8 text under Unicode simple case folding, with
// bytes outside well-formed characters compared exactly; a caseless match is made of whole
// characters of the text.
//
// An empty phrase occurs in every text of at least one byte.
class Phrase {
public:
    Phrase(std::string_view bytes, Comparison comparison);

    // True when the phrase occurs in `text`.
    bool FoundIn(std::string_view text) const;

    // How much of `text` may be searched while more bytes of the same file follow it: all of it
    // in the exact mode; without a trailing character cut off by the block end in the caseless
    // mode, which the next text decides.
    size_t SearchableLength(std::string_view text) const;

    // Length of the tail of `text` that must be kept in front of the next block so that an
    // occurrence crossing the boundary is found there. At most CarryCapacity().
    size_t TailLength(std::string_view text) const;
    size_t CarryCapacity() const { return carryCapacity_; }

private:
    bool FoundInFolded(std::string_view text) const;

    std::string bytes_;
    bool caseless_;
    size_t carryCapacity_ = 0;
    std::optional<LiteralFinder> exact_; // exact mode
    // Caseless mode only.
    std::vector<int32_t> folded_;
    // Searches folded text for folded_; made once, as its tables cost allocations. It holds
    // iterators into its own copy of the folded phrase, so it lives on the heap where moving
    // the phrase cannot move that copy, and it is only read, by any number of threads.
    struct FoldedSearcher {
        explicit FoldedSearcher(std::vector<int32_t> units)
            : folded(std::move(units)), search(folded.begin(), folded.end()) {}
        const std::vector<int32_t> folded;
        const std::boyer_moore_horspool_searcher<std::vector<int32_t>::const_iterator> search;
    };
    std::shared_ptr<const FoldedSearcher> foldedSearcher_;
    std::optional<AsciiAnchor> anchor_;    // the longest ASCII stretch of the folded phrase
    bool anchorIsWhole_ = false;           // the stretch is the whole phrase
    bool needsNonAscii_ = false;           // a match needs a byte above 127 in the text
    mutable std::vector<int32_t> scratch_; // folded text, reused between calls
};

} // namespace scanvale::Search
