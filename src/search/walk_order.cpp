#include "search/walk_order.h"

#include <algorithm>
#include <limits>

namespace scanvale::Search {

namespace {

// The element a listing's place lacks: its sequence ends with its folder's, before any longer.
constexpr int64_t NoElement = std::numeric_limits<int64_t>::min();

// The last element of a source's place, after its folder's chain of indices.
int64_t LastElement(const WalkOrder::Source& source) {
    switch (source.kind) {
    case WalkOrder::Kind::List:
        return NoElement;
    case WalkOrder::Kind::Files:
        return -1;
    case WalkOrder::Kind::Subfolders:
        break;
    }
    return static_cast<int64_t>(source.nextChild);
}

} // namespace

void WalkOrder::Push(std::shared_ptr<PipelineFolder> folder, Kind kind) {
    const size_t nextChild = kind == Kind::Subfolders ? folder->children.size() : 0;
    heap_.push_back({std::move(folder), kind, nextChild});
    std::push_heap(heap_.begin(), heap_.end(), Later);
}

WalkOrder::Source WalkOrder::Pop() {
    std::pop_heap(heap_.begin(), heap_.end(), Later);
    Source source = std::move(heap_.back());
    heap_.pop_back();
    return source;
}

int WalkOrder::Compare(const Source& a, const Source& b) {
    const WalkPlace* placeA = a.folder->place.get();
    const WalkPlace* placeB = b.folder->place.get();
    // Each sequence's element right after the part known to be shared, and whether more
    // elements follow it.
    int64_t elementA = LastElement(a);
    int64_t elementB = LastElement(b);
    bool moreA = false;
    bool moreB = false;
    // Brings the deeper place up to the depth of the other, keeping the index it came up
    // through: that is its sequence's element at this depth.
    const size_t depth = std::min(placeA->Depth(), placeB->Depth());
    auto bringUp = [depth](const WalkPlace*& place, int64_t& element, bool& more) {
        if (place->Depth() == depth) {
            return;
        }
        more = place->Depth() > depth + 1 || element != NoElement;
        while (place->Depth() > depth) {
            element = static_cast<int64_t>(place->Index());
            place = place->Up();
        }
    };
    bringUp(placeA, elementA, moreA);
    bringUp(placeB, elementB, moreB);
    if (placeA == placeB) {
        if (elementA != elementB) {
            return elementA < elementB ? -1 : 1;
        }
        // One sequence begins the other (or they are equal): the shorter comes first.
        return moreA == moreB ? 0 : (moreA ? 1 : -1);
    }
    // Different folders at the same depth: they part below their closest common ancestor, and
    // their indices there decide.
    while (placeA->Up() != placeB->Up()) {
        placeA = placeA->Up();
        placeB = placeB->Up();
    }
    if (placeA->Index() != placeB->Index()) {
        return placeA->Index() < placeB->Index() ? -1 : 1;
    }
    return 0;
}

} // namespace scanvale::Search
