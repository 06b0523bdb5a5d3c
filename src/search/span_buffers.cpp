#include "search/span_buffers.h"

namespace scanvale::Search {

SpanBuffers::Lease SpanBuffers::Borrow(size_t carryCapacity) {
    {
        const std::lock_guard lock(mutex_);
        if (!free_.empty()) {
            std::unique_ptr<BlockBuffer> buffer = std::move(free_.back());
            free_.pop_back();
            return {this, std::move(buffer)};
        }
        if (made_ == most_) {
            return {};
        }
        ++made_;
    }
    // Made outside the lock: a megabyte is no work for it. Every borrower's phrase is the
    // walk's, so every buffer has the same carry room.
    return {this, std::make_unique<BlockBuffer>(blockSize_, carryCapacity, SpanBlocks)};
}

void SpanBuffers::GiveBack(std::unique_ptr<BlockBuffer> buffer) {
    const std::lock_guard lock(mutex_);
    free_.push_back(std::move(buffer));
}

} // namespace scanvale::Search
