#pragma once

#include <atomic>
#include <cstdint>

namespace scanvale::Search {

// Running totals of the work the engine has done in this process, for the benchmark and the
// tests. The search's worker threads add to them, so they are atomic; nothing orders them.
struct SearchStatistics {
    std::atomic<uint64_t> filesExamined{0}; // regular, non-empty files opened to be examined
    std::atomic<uint64_t> bytesRead{0};     // bytes read from them, sniff included
    // Of the files examined, those opened and read whole in a batch through io_uring.
    std::atomic<uint64_t> filesBatched{0};
    // Of them, files read a span of blocks at a time (SpanBuffers).
    std::atomic<uint64_t> filesSpanned{0};
    // Batches of which an idle worker took the later half (WorkHandout::Steal).
    std::atomic<uint64_t> batchesShared{0};
    // Times a thread took a walk's shared state (the pipeline's lock), waking from a wait
    // for work included: the serial share of a walk, which bounds how many cores it can use.
    std::atomic<uint64_t> pipelineLocks{0};
    // When timeLocks is set (the benchmark's --lock-times), the nanoseconds the pipeline's lock
    // was held, the two clock readings of each hold included.
    std::atomic<bool> timeLocks{false};
    std::atomic<uint64_t> pipelineLockNanos{0};
};

inline SearchStatistics Statistics;

} // namespace scanvale::Search
