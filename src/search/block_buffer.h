#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace scanvale::Search {

// The buffer one examiner (a worker thread, or SearchFile) reads its blocks into. Room for the
// carry lies directly in front of the block, so the carry followed by the block is one contiguous
// text and no bytes are concatenated per block.
//
// The block starts on a page boundary: the kernel copies file pages into a page-aligned
// destination about a tenth faster than into one at an odd offset.
class BlockBuffer {
public:
    static constexpr size_t Alignment = 4096;

    BlockBuffer(size_t blockSize, size_t carryCapacity)
        : blockSize_(blockSize),
          storage_(std::make_unique<char[]>(RoundUp(carryCapacity) + blockSize + Alignment)),
          block_(Align(storage_.get() + RoundUp(carryCapacity))) {}

    size_t BlockSize() const { return blockSize_; }

    // Where the next block is read to; BlockSize() bytes of room, starting on a page boundary.
    char* Block() { return block_; }

    // The carry followed by the first `blockBytes` bytes of the block.
    std::string_view Text(size_t blockBytes) {
        return {Block() - carryLength_, carryLength_ + blockBytes};
    }

    // Keeps the last `length` bytes of `text` (a Text() result, length <= carry capacity) as
    // the carry in front of the next block.
    void KeepTail(std::string_view text, size_t length) {
        std::memmove(Block() - length, text.data() + text.size() - length, length);
        carryLength_ = length;
    }

    void ClearCarry() { carryLength_ = 0; }

private:
    static size_t RoundUp(size_t n) { return (n + Alignment - 1) / Alignment * Alignment; }
    static char* Align(char* p) {
        const auto address = reinterpret_cast<uintptr_t>(p);
        return p + (RoundUp(address) - address);
    }

    size_t blockSize_;
    size_t carryLength_ = 0;
    std::unique_ptr<char[]> storage_;
    char* block_;
};

} // namespace scanvale::Search
