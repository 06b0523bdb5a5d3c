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
// A span buffer (spanBlocks > 1) has room for several blocks read at once: each block's text
// then begins with the tail of the block before it where that lies right in front of it, and
// only the last block's tail is moved in front of the next read.
//
// The block starts on a page boundary: the kernel copies file pages into a page-aligned
// destination about a tenth faster than into one at an odd offset.
class BlockBuffer {
public:
    static constexpr size_t Alignment = 4096;

    BlockBuffer(size_t blockSize, size_t carryCapacity, size_t spanBlocks = 1)
        : blockSize_(blockSize), spanBlocks_(spanBlocks), carryRoom_(RoundUp(carryCapacity)),
          storage_(std::make_unique_for_overwrite<char[]>(carryRoom_ + blockSize * spanBlocks +
                                                          Alignment)),
          block_(Align(storage_.get() + carryRoom_)) {}

    size_t BlockSize() const { return blockSize_; }
    // How many blocks fit in the room after Block().
    size_t SpanBlocks() const { return spanBlocks_; }

    // Where the next read goes; SpanBlocks() * BlockSize() bytes of room, starting on a page
    // boundary.
    char* Block() { return block_; }

    // The carry followed by the first `blockBytes` bytes of the block at Block().
    std::string_view Text(size_t blockBytes) { return Text(Block(), blockBytes); }
    // The carry followed by `blockBytes` bytes of the block at `block`, which lies in the room
    // after Block() with the carry in front of it (at Block(), or after the block before it).
    std::string_view Text(const char* block, size_t blockBytes) const {
        return {block - carryLength_, carryLength_ + blockBytes};
    }

    // Keeps the last `length` bytes of `text` (a Text() result, length <= carry capacity) as
    // the carry in front of the next block, which is read to Block().
    void KeepTail(std::string_view text, size_t length) {
        std::memmove(Block() - length, text.data() + text.size() - length, length);
        carryLength_ = length;
    }
    // The same when the next block lies right after `text`, where its tail already is.
    void KeepTailInPlace(size_t length) { carryLength_ = length; }

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
    size_t spanBlocks_;
    size_t carryRoom_;
    size_t carryLength_ = 0;
    std::unique_ptr<char[]> storage_;
    char* block_;
    std::unique_ptr<char[]> decodedStorage_;
    size_t decodedRoom_ = 0;
};

} // namespace scanvale::Search
