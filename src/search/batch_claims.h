#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <utility>

namespace scanvale::Search {

// Which files of one batch under way are still unclaimed, so that a worker with nothing else
// to do can take the later half of another worker's batch instead of waiting for it: a folder
// of forty 25 MB files handed out as batches of 32 and 8 would otherwise keep one worker
// reading for four times as long as the other.
//
// The worker that owns the batch claims its files in order (Claim), a file at a time, or a run
// of them before its ring opens them; another worker, holding the pipeline's lock, takes the
// later half of what nobody has claimed (TakeLaterHalf). Both change one atomic word, so a
// file is claimed exactly once whoever gets there first. Offsets count from the batch's first
// file, which is its owner's from the start.
//
// Ownership: the owning worker keeps the claims on its stack for as long as it examines the
// batch, and the walk's hand-out refers to them only with the pipeline's lock held, between the
// owner opening the batch to others and publishing its results (WorkHandout::Track and
// Untrack; Pipeline::OpenBatch says when a batch is opened).
class BatchClaims {
public:
    explicit BatchClaims(size_t count) : state_(Pack(1, count)) {}
    BatchClaims(const BatchClaims&) = delete;
    BatchClaims& operator=(const BatchClaims&) = delete;

    // The owner: claims up to `n` more files, in order after those it has; returns how many it
    // got (0 when the rest was taken by another worker or the batch is done).
    size_t Claim(size_t n) {
        uint64_t state = state_.load(std::memory_order_relaxed);
        for (;;) {
            const auto [next, end] = Unpack(state);
            const size_t got = std::min(n, end - next);
            if (got == 0 || state_.compare_exchange_weak(state, Pack(next + got, end),
                                                         std::memory_order_relaxed)) {
                return got;
            }
        }
    }

    // Another worker: takes the later half of the unclaimed files (all of them when one is
    // left), as the offsets [from, to); from == to when nothing was left to take.
    std::pair<size_t, size_t> TakeLaterHalf() {
        uint64_t state = state_.load(std::memory_order_relaxed);
        for (;;) {
            const auto [next, end] = Unpack(state);
            if (next == end) {
                return {end, end};
            }
            const size_t from = next + (end - next) / 2;
            if (state_.compare_exchange_weak(state, Pack(next, from), std::memory_order_relaxed)) {
                return {from, end};
            }
        }
    }

    // How many files are not claimed yet.
    size_t Unclaimed() const {
        const auto [next, end] = Unpack(state_.load(std::memory_order_relaxed));
        return end - next;
    }

private:
    // A batch holds at most WorkHandout::FilesPerTask files, so each offset fits in half a word.
    static uint64_t Pack(size_t next, size_t end) {
        return (static_cast<uint64_t>(next) << 32) | static_cast<uint64_t>(end);
    }
    static std::pair<size_t, size_t> Unpack(uint64_t state) {
        return {static_cast<size_t>(state >> 32), static_cast<size_t>(state & 0xffffffffU)};
    }

    std::atomic<uint64_t> state_; // the next unclaimed offset, high; the batch's end, low
};

} // namespace scanvale::Search
