#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// Text stored in UTF-16 or UTF-32, known by the byte-order mark it begins with, and its decoding
// to UTF-8, in which the search compares it. Files without such a mark are never taken as wide
// text: nothing guesses at unmarked UTF-16 or at legacy code pages.
namespace scanvale::Search {

enum class WideEncoding : uint8_t { Utf16Le, Utf16Be, Utf32Le, Utf32Be };

// The longest byte-order mark, in bytes.
inline constexpr size_t LongestMark = 4;

// The encoding whose byte-order mark `head` begins with: FF FE 00 00 UTF-32LE (taken before
// UTF-16LE, whose mark it begins with; as UTF-16 it would begin with U+0000 anyway), 00 00 FE FF
// UTF-32BE, FF FE UTF-16LE, FE FF UTF-16BE. None for any other head.
std::optional<WideEncoding> MarkedEncoding(std::string_view head);

size_t MarkLength(WideEncoding encoding);

// One character of wide text.
struct WideChar {
    // The code point, or IllFormed for a lone surrogate, a UTF-32 unit that is a surrogate or
    // lies above U+10FFFF, or bytes cut off by the end of the text.
    int32_t value;
    size_t length; // bytes taken; 0 when the bytes end inside the character and more follow
};
inline constexpr int32_t IllFormed = -1;

// Decodes the character at p (n >= 1 bytes). A UTF-16 high surrogate that no low one follows
// is ill-formed on its own (two bytes), and decoding resumes with the unit after it. When the
// n bytes end inside a code unit or right after a high surrogate, the length is 0 if more bytes
// follow; if none do (`end`), what is left is ill-formed: the cut-off bytes of the unit, or the
// lone high surrogate.
WideChar DecodeWideChar(WideEncoding encoding, const uint8_t* p, size_t n, bool end);

// Decodes a wide text to UTF-8 in pieces (the blocks of a file, after the mark): a character
// cut by the end of one piece is completed from the next, and each ill-formed character becomes
// U+FFFD REPLACEMENT CHARACTER, so that what follows it decodes and is searched as usual.
class WideDecoder {
public:
    explicit WideDecoder(WideEncoding encoding) : encoding_(encoding) {}

    // The most bytes Decode() writes for a piece of n bytes: a UTF-16 code unit (two bytes)
    // gives at most three, a pair of them four, and up to three bytes of the piece before may
    // come first; UTF-32 never writes more than it reads, plus a U+FFFD for a cut-off unit.
    static constexpr size_t MostOutput(size_t n) { return 3 * ((n + 4) / 2); }

    // Decodes the n bytes at `in`, after any kept from the piece before, to UTF-8 at `out`
    // (room for MostOutput(n) bytes) and returns how many bytes it wrote. It writes only whole
    // characters: bytes that end inside one are kept for the next piece, unless this is the
    // `last`, when they become one U+FFFD.
    size_t Decode(const char* in, size_t n, bool last, char* out);

private:
    template <WideEncoding E> size_t DecodeAs(const uint8_t* in, size_t n, bool last, char* out);

    WideEncoding encoding_;
    uint8_t kept_[3] = {};
    size_t keptLength_ = 0;
};

} // namespace scanvale::Search
