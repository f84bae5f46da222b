#include "search/result_list.h"

namespace vellumax {

void ResultList::append(std::string caption)
{
    const size_t row = entries_.size();
    if (observer_)
        observer_->aboutToAppend(row);
    const std::string& stored = entries_.emplace_back(std::move(caption));
    shard(stored).insert(stored);
    if (observer_)
        observer_->appended(row);
}

void ResultList::clear()
{
    if (observer_)
        observer_->aboutToClear();
    for (Shard& s : index_)
        s.clear();
    entries_.clear();
    if (observer_)
        observer_->cleared();
}

} // namespace vellumax
