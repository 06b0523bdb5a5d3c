#pragma once

// The fuzzers' own reading of a file that begins with a UTF-16 or UTF-32 byte-order mark,
// written apart from the engine's: ICU's macros pair the surrogates, and every ill-formed unit
// (a lone surrogate, a UTF-32 unit that is a surrogate or lies beyond U+10FFFF, the bytes of a
// unit cut off by the end of the file) reads as one U+FFFD.
#include <cstddef>
#include <cstdint>
#include <string>
#include <unicode/utf16.h>
#include <unicode/utf8.h>
#include <vector>

namespace fuzz {

struct WideReading {
    bool marked = false;
    int unitBytes = 0; // 2 or 4
    bool bigEndian = false;
    bool text = false; // the characters after the mark pass the sniff's rule
    std::string utf8;  // the characters after the mark
};

inline WideReading ReadWide(const uint8_t* p, size_t n) {
    WideReading r;
    if (n >= 4 && p[0] == 0xFF && p[1] == 0xFE && p[2] == 0 && p[3] == 0) {
        r.unitBytes = 4;
    } else if (n >= 4 && p[0] == 0 && p[1] == 0 && p[2] == 0xFE && p[3] == 0xFF) {
        r.unitBytes = 4;
        r.bigEndian = true;
    } else if (n >= 2 && p[0] == 0xFF && p[1] == 0xFE) {
        r.unitBytes = 2;
    } else if (n >= 2 && p[0] == 0xFE && p[1] == 0xFF) {
        r.unitBytes = 2;
        r.bigEndian = true;
    } else {
        return r;
    }
    r.marked = true;
    const auto width = static_cast<size_t>(r.unitBytes);
    auto unit = [&](size_t at) {
        uint32_t u = 0;
        for (size_t k = 0; k < width; ++k) {
            u |= uint32_t{p[at + k]} << (8 * (r.bigEndian ? width - 1 - k : k));
        }
        return u;
    };
    std::vector<int32_t> characters; // -1 for an ill-formed unit
    const size_t mark = width;       // every mark is one unit
    if (width == 2) {
        std::vector<UChar> units;
        for (size_t at = mark; at + 2 <= n; at += 2) {
            units.push_back(static_cast<UChar>(unit(at)));
        }
        const auto count = static_cast<int32_t>(units.size());
        for (int32_t i = 0; i < count;) {
            UChar32 c = 0;
            U16_NEXT(units.data(), i, count, c);
            characters.push_back(U_IS_SURROGATE(c) ? -1 : c);
        }
    } else {
        for (size_t at = mark; at + 4 <= n; at += 4) {
            const uint32_t u = unit(at);
            characters.push_back(u > 0x10FFFF || U_IS_SURROGATE(u) ? -1 : static_cast<int32_t>(u));
        }
    }
    if ((n - mark) % width != 0) {
        characters.push_back(-1);
    }

    r.text = !characters.empty();
    for (size_t i = 0; i < characters.size() && i < 5; ++i) {
        const int32_t c = characters[i];
        r.text =
            r.text && (c == '\t' || c == '\n' || c == '\r' || (c >= 32 && c <= 126) || c >= 0x80);
    }
    for (const int32_t c : characters) {
        uint8_t bytes[4];
        int32_t length = 0;
        U8_APPEND_UNSAFE(bytes, length, c < 0 ? 0xFFFD : c);
        r.utf8.append(reinterpret_cast<const char*>(bytes), static_cast<size_t>(length));
    }
    return r;
}

} // namespace fuzz
