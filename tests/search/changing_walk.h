#pragma once

#include "recording_host.h"
#include "tree_fixture.h"

#include <functional>

namespace scanvale::test {

// The program's walk of `tree` for "needle" on one worker, into `host`, with `change` made in the
// window's first turn after the worker began to examine the folder's first file: the folder is
// listed by then, its other files are not opened yet and its subfolders not listed. That file,
// 0-slow.txt, is written here: 4 MiB read in blocks of 2 bytes, which takes the worker a fifth
// of a second here, while the window's thread looks every millisecond; it is cut to nothing
// right after the change, so that the walk goes on at once.
void SearchWhileChanging(const TestTree& tree, const std::function<void()>& change,
                         RecordingHost& host);

} // namespace scanvale::test
