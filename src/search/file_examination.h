#pragma once

#include "search/block_buffer.h"
#include "search/phrase.h"
#include "search/search_host.h"

#include <string_view>

namespace Search {

// Examines the file `name` of the open folder `folder`; `path` is its full path, the text of a
// result. The layer under SearchFile, used by the walk so that no file is looked up by its
// full path. Reads through `buffer`, whose block size applies; true when the file was listed.
bool ExamineFile(int folder, const char* name, std::string_view path, const Phrase& phrase,
                 BlockBuffer& buffer, scanvale::SearchHost& results);

} // namespace Search
