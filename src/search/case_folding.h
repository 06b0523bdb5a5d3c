#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Unicode simple case folding (ICU) of UTF-8 text, for the case-insensitive comparison.
namespace scanvale::Search::CaseFolding {

// Appends the folded units of `text` to `units`: each well-formed character becomes its simple
// case folding, each byte outside a well-formed character stays itself (Utf8::IllFormedUnit).
// Simple folding maps one character to one character, so a match of n units in folded text
// covers n characters of the original.
void AppendFolded(std::string_view text, std::vector<int32_t>& units);

// A character above U+007F whose folding is an ASCII character, such as KELVIN SIGN, which
// folds to 'k'. Computed once from ICU's data.
struct AsciiLookalike {
    char folded;
    std::string utf8;
};
const std::vector<AsciiLookalike>& AsciiLookalikes();

} // namespace scanvale::Search::CaseFolding
