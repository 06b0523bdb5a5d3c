#pragma once

// What every engine test begins with: the engine's entry points, the host that records what a
// search shows, the trees it searches, the reference walk, and the names the tests use them by.
#include "recording_host.h"
#include "search/globals.h"
#include "search/search.h"
#include "search/search_statistics.h"
#include "search_file.h"
#include "sequential_walk.h"
#include "tree_fixture.h"

#include <algorithm>

namespace Search = scanvale::Search;
namespace Globals = scanvale::Globals;
using scanvale::test::Paths;
using scanvale::test::RecordingHost;
using scanvale::test::SearchFile;
using scanvale::test::SearchFolderSequentially;
using scanvale::test::TestTree;
using enum scanvale::Search::Comparison;

// True when `shorter` is where `longer` begins.
inline bool Begins(const Paths& longer, const Paths& shorter) {
    return shorter.size() <= longer.size() &&
           std::equal(shorter.begin(), shorter.end(), longer.begin());
}
