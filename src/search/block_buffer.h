#pragma once

#include <cstddef>
#include <cstring>
#include <memory>
#include <string_view>

namespace Search {

// The one buffer a search reads its blocks into. Room for the carry lies directly in front of
// the block, so the carry followed by the block is one contiguous text and no bytes are
// concatenated per block.
class BlockBuffer {
public:
    BlockBuffer(size_t blockSize, size_t carryCapacity)
        : blockSize_(blockSize), carryCapacity_(carryCapacity),
          storage_(std::make_unique<char[]>(carryCapacity + blockSize)) {}

    size_t BlockSize() const { return blockSize_; }

    // Where the next block is read to; BlockSize() bytes of room.
    char* Block() { return storage_.get() + carryCapacity_; }

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
    size_t blockSize_;
    size_t carryCapacity_;
    size_t carryLength_ = 0;
    std::unique_ptr<char[]> storage_;
};

} // namespace Search
