#include "search/phrase.h"

#include "search/case_folding.h"
#include "search/utf8.h"

#include <algorithm>
#include <functional>

namespace scanvale::Search {

namespace {

// A character of the text is at most this many bytes, whatever the phrase's character was.
constexpr size_t MaxCharBytes = 4;

} // namespace

Phrase::Phrase(std::string_view bytes, Comparison comparison)
    : bytes_(bytes), caseless_(comparison == Comparison::Caseless) {
    if (!caseless_) {
        carryCapacity_ = bytes_.size();
        if (!bytes_.empty()) {
            exact_.emplace(bytes_, false);
        }
        return;
    }
    CaseFolding::AppendFolded(bytes_, folded_);
    if (!folded_.empty()) {
        foldedSearcher_ = std::make_shared<const FoldedSearcher>(folded_);
    }
    // An occurrence spans at most MaxCharBytes per unit; the tail may start up to three bytes
    // earlier to begin on a whole character and may hold a cut-off character of three bytes.
    carryCapacity_ = MaxCharBytes * folded_.size() + 6;

    // Non-ASCII units (characters or stray bytes) only ever match non-ASCII bytes.
    auto isAscii = [](int32_t unit) { return unit < 0x80; };
    needsNonAscii_ = !std::all_of(folded_.begin(), folded_.end(), isAscii);
    auto bestBegin = folded_.end();
    auto bestEnd = folded_.end();
    for (auto it = folded_.begin(); it != folded_.end();) {
        const auto begin = std::find_if(it, folded_.end(), isAscii);
        const auto end = std::find_if_not(begin, folded_.end(), isAscii);
        if (end - begin > bestEnd - bestBegin) {
            bestBegin = begin;
            bestEnd = end;
        }
        it = end;
    }
    if (bestBegin != bestEnd) {
        anchor_.emplace(std::string(bestBegin, bestEnd));
        anchorIsWhole_ = bestEnd - bestBegin == static_cast<ptrdiff_t>(folded_.size());
    }
}

bool Phrase::FoundIn(std::string_view text) const {
    if (bytes_.empty()) {
        return !text.empty();
    }
    if (!caseless_) {
        return exact_->FoundIn(text);
    }
    // Whether the text holds a byte above 127, once the anchor's scan has told.
    std::optional<bool> nonAscii;
    if (anchor_) {
        bool seen = false;
        if (anchor_->FoundAsAscii(text, seen)) {
            if (anchorIsWhole_) {
                return true;
            }
        } else {
            // Only a spelling with non-ASCII characters that fold to ASCII is left.
            if (!seen || !anchor_->LookalikeIn(text)) {
                return false;
            }
            nonAscii = true;
        }
    }
    if (needsNonAscii_ && !nonAscii.value_or(LiteralFinder::HasNonAscii(text))) {
        return false;
    }
    return FoundInFolded(text);
}

bool Phrase::FoundInFolded(std::string_view text) const {
    scratch_.clear();
    CaseFolding::AppendFolded(text, scratch_);
    return std::search(scratch_.cbegin(), scratch_.cend(), foldedSearcher_->search) !=
           scratch_.cend();
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
    // Begin on a whole character. A continuation byte at `start` may sit inside a well-formed
    // character begun up to three bytes before it; the tail then begins at that character's
    // lead byte. Otherwise the byte stands for itself and the tail may begin there: moving
    // further back over stray continuation bytes could land inside an earlier character, and a
    // piece of a character read on its own would match what the whole character does not.
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    if (start > 0 && start < n && Utf8::IsContinuation(p[start])) {
        for (size_t back = 1; back <= 3 && back <= start; ++back) {
            const size_t lead = start - back;
            if (Utf8::IsContinuation(p[lead])) {
                continue;
            }
            const size_t length = Utf8::SequenceLength(p[lead]);
            if (length > back && Utf8::FittingBytes(p + lead, n - lead) == length) {
                start = lead;
            }
            break;
        }
    }
    return n - start;
}

} // namespace scanvale::Search
