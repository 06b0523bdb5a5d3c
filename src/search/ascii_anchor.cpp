#include "search/ascii_anchor.h"

#include "search/case_folding.h"

#include <algorithm>

namespace scanvale::Search {

AsciiAnchor::AsciiAnchor(std::string_view folded) : finder_(folded, true) {
    for (const auto& lookalike : CaseFolding::AsciiLookalikes()) {
        if (folded.find(lookalike.folded) != std::string_view::npos) {
            lookalikes_.emplace_back(lookalike.utf8, false);
        }
    }
}

bool AsciiAnchor::FoundAsAscii(std::string_view text, bool& nonAscii) const {
    return finder_.FoundIn(text, &nonAscii);
}

bool AsciiAnchor::LookalikeIn(std::string_view text) const {
    return std::any_of(lookalikes_.begin(), lookalikes_.end(),
                       [&](const LiteralFinder& l) { return l.FoundIn(text); });
}

} // namespace scanvale::Search
