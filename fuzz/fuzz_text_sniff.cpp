// Fuzzes the binary sniff against a rule written out independently: printable ASCII, TAB, LF
// and CR are text; other bytes below 128 are binary; from 128 up a byte is text where ICU
// decodes a well-formed UTF-8 character, and in a full five-byte window where the last bytes
// begin a character that some continuation would complete. A head with a UTF-16 or UTF-32
// byte-order mark is wide text where the fuzzer's own reading of its first characters
// (wide_text_oracle.h) passes the same rule.
#include "search/text_sniff.h"
#include "wide_text_oracle.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <unicode/utf8.h>

namespace {

bool WellFormedCharacter(const uint8_t* p, int32_t n) {
    int32_t i = 0;
    UChar32 c = 0;
    U8_NEXT(p, i, n, c);
    return c >= 0 && i == n;
}

// True when the m bytes at q are the start of a well-formed character longer than m.
bool BeginsACharacter(const uint8_t* q, int32_t m) {
    uint8_t buffer[8] = {};
    for (int32_t i = 0; i < m; ++i) {
        buffer[i] = q[i];
    }
    for (int next = 0x80; next <= 0xBF; ++next) {
        buffer[m] = static_cast<uint8_t>(next);
        for (int32_t more = 0; m + 1 + more <= 4; ++more) {
            if (more > 0) {
                buffer[m + more] = 0x80;
            }
            if (WellFormedCharacter(buffer, m + 1 + more)) {
                return true;
            }
        }
    }
    return false;
}

bool Text(const uint8_t* p, int32_t n, bool fullWindow) {
    if (n == 0) {
        return false;
    }
    int32_t i = 0;
    while (i < n) {
        const uint8_t b = p[i];
        if (b < 0x80) {
            if (!(b == '\t' || b == '\n' || b == '\r' || (b >= 32 && b <= 126))) {
                return false;
            }
            ++i;
            continue;
        }
        const int32_t start = i;
        UChar32 c = 0;
        U8_NEXT(p, i, n, c);
        if (c < 0) {
            return fullWindow && n - start < 4 && BeginsACharacter(p + start, n - start);
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const size_t n = size < scanvale::Search::SniffLength ? size : scanvale::Search::SniffLength;
    const bool expected = Text(data, static_cast<int32_t>(n), n == scanvale::Search::SniffLength);
    const bool got = scanvale::Search::LooksLikeText({reinterpret_cast<const char*>(data), n});
    if (got != expected) {
        std::abort();
    }

    using scanvale::Search::WideEncoding;
    const fuzz::WideReading wide = fuzz::ReadWide(
        data, size < scanvale::Search::WideSniffLength ? size : scanvale::Search::WideSniffLength);
    const auto encoding =
        scanvale::Search::WideTextEncoding({reinterpret_cast<const char*>(data), size});
    const auto expectedEncoding =
        wide.unitBytes == 2 ? (wide.bigEndian ? WideEncoding::Utf16Be : WideEncoding::Utf16Le)
                            : (wide.bigEndian ? WideEncoding::Utf32Be : WideEncoding::Utf32Le);
    if (encoding.has_value() != (wide.marked && wide.text) ||
        (encoding && *encoding != expectedEncoding)) {
        std::abort();
    }
    return 0;
}
