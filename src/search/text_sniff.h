#pragma once

#include <cstddef>
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

} // namespace scanvale::Search
