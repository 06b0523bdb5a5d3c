#include "search/search.h"

namespace scanvale::Search {

std::string_view TextTail(std::string_view text, const Phrase& phrase) {
    return text.substr(text.size() - phrase.TailLength(text));
}

} // namespace scanvale::Search
