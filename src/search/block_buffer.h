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
        : blockSize_(blockSize), carryRoom_(RoundUp(carryCapacity)),
          storage_(std::make_unique<char[]>(carryRoom_ + blockSize + Alignment)),
          block_(Align(storage_.get() + carryRoom_)) {}

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

    // For a file whose blocks are decoded before they are searched: where a block's text goes,
    // `room` bytes with room for the carry in front, as in front of the block. Made when a
    // file first needs it and kept for the examiner's later files, so an examiner holds at most
    // one; asked for at the start of a file, before any carry is kept.
    char* Decoded(size_t room) {
        if (room > decodedRoom_) {
            decodedStorage_ = std::make_unique_for_overwrite<char[]>(carryRoom_ + room);
            decodedRoom_ = room;
        }
        return decodedStorage_.get() + carryRoom_;
    }

    // Text() and KeepTail() for the decoded text, which Decoded() must have made room for.
    std::string_view DecodedText(size_t decodedBytes) {
        return {DecodedStart() - carryLength_, carryLength_ + decodedBytes};
    }
    void KeepDecodedTail(std::string_view text, size_t length) {
        std::memmove(DecodedStart() - length, text.data() + text.size() - length, length);
        carryLength_ = length;
    }

private:
    static size_t RoundUp(size_t n) { return (n + Alignment - 1) / Alignment * Alignment; }
    static char* Align(char* p) {
        const auto address = reinterpret_cast<uintptr_t>(p);
        return p + (RoundUp(address) - address);
    }

    char* DecodedStart() { return decodedStorage_.get() + carryRoom_; }

    size_t blockSize_;
    size_t carryRoom_;
    size_t carryLength_ = 0;
    std::unique_ptr<char[]> storage_;
    char* block_;
    std::unique_ptr<char[]> decodedStorage_;
    size_t decodedRoom_ = 0;
};

} // namespace scanvale::Search
