#include "search_file.h"

#include "search/block_buffer.h"
#include "search/file_access.h"
#include "search/file_descriptor.h"
#include "search/globals.h"

namespace scanvale::test {

bool YieldingSteps::GoOn(bool whole) {
    if (whole) {
        host_.Yield();
    }
    return !Globals::StopSearch;
}

bool SearchFile(const std::string& path, std::string_view phrase, Search::Comparison comparison,
                SearchHost& results, size_t blockSize) {
    const size_t slash = path.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const Search::FileDescriptor folderFd = Search::FileAccess::OpenFolder(folder);
    if (!folderFd.Valid() || name.empty()) {
        return false;
    }
    const Search::Phrase prepared(phrase, comparison);
    Search::BlockBuffer buffer(blockSize, prepared.CarryCapacity());
    YieldingSteps steps(results);
    if (!Search::ExamineFile(folderFd.Get(), name.c_str(), prepared, buffer, steps)) {
        return false;
    }
    results.AddResult(path);
    return true;
}

} // namespace scanvale::test
