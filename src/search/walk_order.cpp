#include "search/walk_order.h"

#include <algorithm>

namespace scanvale::Search {

void WalkOrder::Push(std::shared_ptr<PipelineFolder> folder, Kind kind) {
    Entry entry{{}, {std::move(folder), kind, 0}};
    const PipelineFolder& f = *entry.source.folder;
    entry.place.resize(f.place->Depth());
    auto slot = entry.place.rbegin();
    for (const WalkPlace* p = f.place.get(); p->Up() != nullptr; p = p->Up()) {
        *slot++ = static_cast<int64_t>(p->Index());
    }
    if (kind == Kind::Files) {
        entry.place.push_back(-1);
    } else if (kind == Kind::Subfolders) {
        entry.source.nextChild = f.children.size();
        entry.place.push_back(static_cast<int64_t>(entry.source.nextChild));
    }
    heap_.push_back(std::move(entry));
    std::push_heap(heap_.begin(), heap_.end(), Later);
}

WalkOrder::Source WalkOrder::Pop() {
    std::pop_heap(heap_.begin(), heap_.end(), Later);
    Source source = std::move(heap_.back().source);
    heap_.pop_back();
    return source;
}

bool WalkOrder::Later(const Entry& a, const Entry& b) {
    return std::lexicographical_compare(b.place.begin(), b.place.end(), a.place.begin(),
                                        a.place.end());
}

} // namespace scanvale::Search
