#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <deque>
#include <string>
#include <string_view>
#include <unordered_set>

namespace vellumax {

// Told about every change of a ResultList, so that a view can follow it.
class ResultListObserver {
public:
    virtual ~ResultListObserver() = default;
    virtual void aboutToAppend(size_t row) = 0;
    virtual void appended(size_t row) = 0;
    virtual void aboutToClear() = 0;
    virtual void cleared() = 0;
};

// The harvested numbers, in the order found. Entries are only appended, or
// all removed at once. A hash index of the captions answers the duplicate
// test in constant time, with the same outcome as comparing the candidate
// with every caption.
class ResultList {
public:
    size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    const std::string& at(size_t row) const { return entries_.at(row); }
    const std::string& operator[](size_t row) const { return entries_[row]; }
    auto begin() const { return entries_.begin(); }
    auto end() const { return entries_.end(); }

    bool contains(std::string_view caption) const { return shard(caption).count(caption) != 0; }
    void append(std::string caption);
    void clear();

    void setObserver(ResultListObserver* observer) { observer_ = observer; }

private:
    // The index is split by hash into tables that grow one at a time: one
    // table over a million captions stops the window for a tenth of a second
    // each time it doubles, while a shard doubles in well under a millisecond.
    static constexpr size_t kIndexShards = 256;
    using Shard = std::unordered_set<std::string_view>;
    static size_t shardNumber(std::string_view caption)
    {
        return (std::hash<std::string_view>{}(caption) >> 24) % kIndexShards;
    }
    Shard& shard(std::string_view caption) { return index_[shardNumber(caption)]; }
    const Shard& shard(std::string_view caption) const { return index_[shardNumber(caption)]; }

    // A deque keeps every entry where it is, so the index can point into it.
    std::deque<std::string> entries_;
    std::array<Shard, kIndexShards> index_;
    ResultListObserver* observer_ = nullptr;
};

} // namespace vellumax
