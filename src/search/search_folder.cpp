#include "search/folder_walk.h"
#include "search/search.h"

namespace Search {

void SearchFolder(const std::string& folder, const std::vector<std::string>& ExtensionFilter,
                  const std::string& phrase, int16_t CompareMode, int16_t IncludeSubfolders,
                  scanvale::SearchHost& results, size_t blockSize) {
    const Phrase prepared(phrase, CompareMode);
    FolderWalk walk(ExtensionFilter, prepared, IncludeSubfolders != 0, results, blockSize);
    walk.Walk(folder);
}

} // namespace Search
