#include "search/case_folding.h"

#include "search/utf8.h"

#include <algorithm>
#include <unicode/uchar.h>
#include <unicode/uset.h>

namespace scanvale::Search::CaseFolding {

namespace {

std::string EncodeUtf8(int32_t cp) {
    std::string out;
    if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    }
    out += static_cast<char>(0x80 | (cp & 0x3F));
    return out;
}

} // namespace

void AppendFolded(std::string_view text, std::vector<int32_t>& units) {
    const auto* p = reinterpret_cast<const uint8_t*>(text.data());
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        if (p[i] < 0x80) {
            const uint8_t b = p[i++];
            units.push_back(b >= 'A' && b <= 'Z' ? b + 0x20 : b);
            continue;
        }
        const Utf8::Unit unit = Utf8::DecodeUnit(p + i, n - i);
        const bool codePoint = unit.value < 0x110000;
        units.push_back(codePoint ? u_foldCase(unit.value, U_FOLD_CASE_DEFAULT) : unit.value);
        i += unit.length;
    }
}

const std::vector<AsciiLookalike>& AsciiLookalikes() {
    // Never destroyed: a search's worker thread may still prepare its phrase while the
    // process ends, and must not find the table freed under it.
    static const auto* const lookalikes = [] {
        auto* found = new std::vector<AsciiLookalike>;
        // Only characters that change when case-folded can fold to something else.
        UErrorCode status = U_ZERO_ERROR;
        USet* changing = uset_openEmpty();
        uset_applyIntPropertyValue(changing, UCHAR_CHANGES_WHEN_CASEFOLDED, 1, &status);
        for (int32_t item = 0; U_SUCCESS(status) && item < uset_getItemCount(changing); ++item) {
            UChar32 start = 0;
            UChar32 end = 0;
            if (uset_getItem(changing, item, &start, &end, nullptr, 0, &status) != 0) {
                continue; // a string item; none expected
            }
            for (UChar32 cp = std::max<UChar32>(start, 0x80); cp <= end; ++cp) {
                const int32_t folded = u_foldCase(cp, U_FOLD_CASE_DEFAULT);
                if (folded < 0x80) {
                    found->push_back({static_cast<char>(folded), EncodeUtf8(cp)});
                }
            }
        }
        uset_close(changing);
        return found;
    }();
    return *lookalikes;
}

} // namespace scanvale::Search::CaseFolding
