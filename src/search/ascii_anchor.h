#pragma once

#include "search/literal_finder.h"

#include <string_view>
#include <vector>

namespace scanvale::Search {

// A stretch of ASCII characters of a case-folded phrase, looked for with the fast literal scan
// before a text is folded in full. Every occurrence of the phrase holds the stretch, spelled in
// ASCII or with non-ASCII characters that fold to ASCII (KELVIN SIGN for 'k', LONG S for 's').
class AsciiAnchor {
public:
    // `folded`: non-empty, ASCII, case-folded.
    explicit AsciiAnchor(std::string_view folded);

    // True when the stretch occurs spelled in ASCII alone (letters in either case). When it
    // does not, `nonAscii` tells whether the text holds any byte above 127.
    bool FoundAsAscii(std::string_view text, bool& nonAscii) const;

    // True when the text holds a non-ASCII character that folds to one of the stretch's
    // characters, so that it may hold the stretch spelled with it.
    bool LookalikeIn(std::string_view text) const;

private:
    LiteralFinder finder_;
    std::vector<LiteralFinder> lookalikes_;
};

} // namespace scanvale::Search
