#pragma once

#include <atomic>
#include <cstdint>

namespace scanvale::Search {

// Running totals of the work the engine has done in this process, for the benchmark and the
// tests. The search's worker threads add to them, so they are atomic; nothing orders them.
struct SearchStatistics {
    std::atomic<uint64_t> filesExamined{0}; // regular, non-empty files opened to be examined
    std::atomic<uint64_t> bytesRead{0};     // bytes read from them, sniff included
};

inline SearchStatistics Statistics;

} // namespace scanvale::Search
