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

namespace Search = scanvale::Search;
namespace Globals = scanvale::Globals;
using scanvale::test::Paths;
using scanvale::test::RecordingHost;
using scanvale::test::SearchFile;
using scanvale::test::SearchFolderSequentially;
using scanvale::test::TestTree;
using enum scanvale::Search::Comparison;
