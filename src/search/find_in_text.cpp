#include "search/search.h"

namespace Search {

bool FindInText(std::string_view text, const Phrase& phrase, scanvale::SearchHost& results,
                std::string_view path) {
    if (!phrase.FoundIn(text)) {
        return false;
    }
    results.AddResult(path);
    return true;
}

std::string_view TextTail(std::string_view text, const Phrase& phrase) {
    return text.substr(text.size() - phrase.TailLength(text));
}

} // namespace Search
