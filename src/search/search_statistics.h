#pragma once

#include <cstdint>

namespace Search {

// Running totals of the work the engine has done in this process, for the benchmark.
// Only the search's one thread touches them.
struct SearchStatistics {
    uint64_t filesExamined = 0; // regular, non-empty files opened to be examined
    uint64_t bytesRead = 0;     // bytes read from them, sniff included
};

inline SearchStatistics Statistics;

} // namespace Search
