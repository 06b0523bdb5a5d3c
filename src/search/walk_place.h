#pragma once

#include <cstddef>
#include <memory>
#include <sys/types.h>
#include <utility>

namespace scanvale::Search {

// Where a folder lies in a pipelined walk: the chain of subfolder indices from the listed
// folder down to it, and the identities of the folders on that descent.
//
// A place is immutable once made and holds its enclosing folder's place through an owning
// reference, so whoever holds a place can walk up the whole chain whatever has become of the
// folder records (a folder the window has gone past is freed while work that refers to one of
// its subfolders may still be queued). Places point only upwards: they never own a folder
// record, so no chain of them can form a cycle.
class WalkPlace {
public:
    using Identity = std::pair<dev_t, ino_t>;

    // The listed folder's place.
    static std::shared_ptr<const WalkPlace> Listed() { return std::make_shared<WalkPlace>(); }
    // The place of the subfolder `index` of the folder at `up`, whose identity is `upId`.
    static std::shared_ptr<const WalkPlace> Below(std::shared_ptr<const WalkPlace> up, size_t index,
                                                  Identity upId) {
        return std::make_shared<WalkPlace>(std::move(up), index, upId);
    }

    WalkPlace() = default;
    WalkPlace(std::shared_ptr<const WalkPlace> up, size_t index, Identity upId)
        : up_(std::move(up)), index_(index), upId_(upId), depth_(up_->depth_ + 1) {}
    // Takes a long chain apart one place at a time: letting each place free the one above it
    // would recurse as deep as the tree.
    ~WalkPlace() {
        std::shared_ptr<const WalkPlace> up = std::move(up_);
        // Only the last holder of a place may take its link apart; a place still held by
        // someone else is left to that holder.
        while (up != nullptr && up.use_count() == 1) {
            std::shared_ptr<const WalkPlace> next = std::move(up->up_);
            up = std::move(next);
        }
    }
    WalkPlace(const WalkPlace&) = delete;
    WalkPlace& operator=(const WalkPlace&) = delete;

    // Null for the listed folder.
    const WalkPlace* Up() const { return up_.get(); }
    // The index among the enclosing folder's subfolders.
    size_t Index() const { return index_; }
    // The identity of the enclosing folder.
    Identity UpId() const { return upId_; }
    // 0 for the listed folder.
    size_t Depth() const { return depth_; }

    // True when the folder `id` is this place's folder's enclosing folder or one further up:
    // entering it here would walk the same descent again, for ever.
    bool OnDescent(Identity id) const {
        for (const WalkPlace* p = this; p->up_ != nullptr; p = p->up_.get()) {
            if (p->upId_ == id) {
                return true;
            }
        }
        return false;
    }

private:
    // Mutable only so that the last holder can take the chain apart (see the destructor).
    mutable std::shared_ptr<const WalkPlace> up_;
    size_t index_ = 0;
    Identity upId_{};
    size_t depth_ = 0;
};

} // namespace scanvale::Search
