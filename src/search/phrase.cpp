#include "search/phrase.h"

#include "search/case_folding.h"
#include "search/utf8.h"

#include <algorithm>
#include <functional>

namespace Search {

namespace {

// A character of the text is at most this many bytes, whatever the phrase's character was.
constexpr size_t MaxCharBytes = 4;

} // namespace

Phrase::Phrase(std::string_view bytes, int16_t CompareMode)
    : bytes_(bytes), caseless_(CompareMode != 0) {
    if (!caseless_) {
        carryCapacity_ = bytes_.size();
        if (!bytes_.empty()) {
            literal_.emplace(bytes_, false);
        }
        return;
    }
    CaseFolding::AppendFolded(bytes_, folded_);
    // An occurrence spans at most MaxCharBytes per unit; the tail may start up to three bytes
    // earlier to begin on a whole character and may hold a cut-off character of three bytes.
    carryCapacity_ = MaxCharBytes * folded_.size() + 6;
    const bool allAscii =
        std::all_of(folded_.begin(), folded_.end(), [](int32_t unit) { return unit < 0x80; });
    if (!allAscii || folded_.empty()) {
        return;
    }
    std::string asciiFolded(folded_.begin(), folded_.end());
    literal_.emplace(asciiFolded, true);
    for (const auto& lookalike : CaseFolding::AsciiLookalikes()) {
        if (asciiFolded.find(lookalike.folded) != std::string::npos) {
            lookalikes_.emplace_back(lookalike.utf8, false);
        }
    }
}

bool Phrase::FoundIn(std::string_view text) const {
    if (bytes_.empty()) {
        return !text.empty();
    }
    if (!caseless_) {
        return literal_->FoundIn(text);
    }
    if (literal_) {
        if (literal_->FoundIn(text)) {
            return true;
        }
        // An all-ASCII match was ruled out; only a text holding a non-ASCII character that
        // folds to one of the phrase's characters can still match.
        const bool lookalikePresent =
            !lookalikes_.empty() && LiteralFinder::HasNonAscii(text) &&
            std::any_of(lookalikes_.begin(), lookalikes_.end(),
                        [&](const LiteralFinder& l) { return l.FoundIn(text); });
        if (!lookalikePresent) {
            return false;
        }
    }
    return FoundInFolded(text);
}

bool Phrase::FoundInFolded(std::string_view text) const {
    scratch_.clear();
    CaseFolding::AppendFolded(text, scratch_);
    const std::boyer_moore_horspool_searcher searcher(folded_.begin(), folded_.end());
    return std::search(scratch_.begin(), scratch_.end(), searcher) != scratch_.end();
}

size_t Phrase::SearchableLength(std::string_view text) const {
    const size_t n = text.size();
    if (!caseless_) {
        return n;
    }
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (size_t back = 1; back <= 3 && back <= n; ++back) {
        const uint8_t b = p[n - back];
        if (Utf8::IsContinuation(b)) {
            continue;
        }
        const size_t length = Utf8::SequenceLength(b);
        const bool cutOff = length > back && Utf8::FittingBytes(p + n - back, back) == back;
        return cutOff ? n - back : n;
    }
    return n;
}

size_t Phrase::TailLength(std::string_view text) const {
    const size_t n = text.size();
    if (!caseless_) {
        return std::min(n, bytes_.size());
    }
    const size_t searchable = SearchableLength(text);
    const size_t span = folded_.empty() ? 0 : MaxCharBytes * folded_.size() - 1;
    size_t start = searchable > span ? searchable - span : 0;
    // Begin on a whole character: a byte preceded by three continuation bytes cannot be
    // inside a well-formed one.
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    for (int step = 0; step < 3 && start > 0 && start < n && Utf8::IsContinuation(p[start]);
         ++step) {
        --start;
    }
    return n - start;
}

} // namespace Search
