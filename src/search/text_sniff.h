#pragma once

#include "search/wide_text.h"

#include <cstddef>
#include <optional>
#include <string_view>

namespace scanvale::Search {

// How many leading bytes of a file decide whether it is searched.
inline constexpr size_t SniffLength = 5;

// Decides from the first bytes of a file (at most SniffLength; fewer when the file is shorter)
// whether the file is text and therefore searched. Printable ASCII, TAB, LF and CR are text;
// bytes above 126 are text where they form well-formed UTF-8, and a character cut off by the
// end of a full five-byte window counts as well-formed. Any other control byte, DEL, or a
// broken UTF-8 sequence marks the file as binary. An empty head is not text.
bool LooksLikeText(std::string_view head);

// How many leading bytes decide for a file that begins with a UTF-16 or UTF-32 byte-order mark:
// the mark and SniffLength characters of up to four bytes each.
inline constexpr size_t WideSniffLength = LongestMark + 4 * SniffLength;

// Decides for a file that LooksLikeText() takes as binary, from its first bytes (at most
// WideSniffLength; fewer when the file is shorter), whether it is wide text: its encoding when
// it begins with a byte-order mark of UTF-16 or UTF-32 (see MarkedEncoding) and the characters
// after the mark pass the rule above, applied to characters instead of bytes: the first
// SniffLength of them (fewer when the file ends first) are printable ASCII, TAB, LF, CR or above
// U+007F. A mark followed by nothing, by another control character or DEL, by a lone surrogate,
// by a UTF-32 unit beyond Unicode or by a unit the file's end cuts off is binary.
std::optional<WideEncoding> WideTextEncoding(std::string_view head);

} // namespace scanvale::Search
