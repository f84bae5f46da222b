#include "run/entry_origins.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace vellumax {
namespace {

// Positions are 32 bits wide: this many blocks, 4 GiB of lines, which no run
// gets near. Past them a line is kept empty rather than the entry lost.
constexpr size_t kMostBlocks = (size_t(std::numeric_limits<uint32_t>::max()) + 1) / EntryOrigins::kBlockBytes;
// What the 23 bits of an origin's page offset hold; the run's pages end at 740.
constexpr int32_t kLargestPageOffset = (1 << 23) - 1;

} // namespace

void EntryOrigins::record(size_t row, int32_t keywordNumber, int32_t pageOffset, int64_t foundAtMs,
                          std::string_view line, const WebPage& webPage, bool fromSite)
{
    if (row == 0 && !origins_.empty())
        clear();
    else if (row != origins_.size())
        origins_.resize(row); // entries added without an origin have none
    line = line.substr(0, kLongestLine);
    Origin origin;
    origin.foundAt = static_cast<uint32_t>(std::clamp<int64_t>(foundAtMs / 1000, 0, UINT32_MAX));
    origin.keywordNumber = keywordNumber;
    origin.pageOffset = static_cast<uint32_t>(std::clamp<int32_t>(pageOffset, 0, kLargestPageOffset));
    origin.lineLength = static_cast<uint32_t>(line.size());
    if (!line.empty() && line == lastLine_)
        origin.lineStart = lastLineStart_;
    else if (!storeLine(line, origin.lineStart))
        origin.lineLength = 0;
    origin.webPage = storeWebPage(webPage);
    origin.fromSite = fromSite ? 1 : 0;
    origins_.push_back(origin);
}

uint32_t EntryOrigins::storeWebPage(const WebPage& page)
{
    if (page.title.empty() && page.address.empty())
        return 0;
    // The numbers of one page come one after another.
    if (webPages_.empty() || webPages_.back()->title != page.title || webPages_.back()->address != page.address)
        webPages_.push_back(std::make_shared<const WebPage>(page));
    return static_cast<uint32_t>(webPages_.size());
}

const EntryOrigins::WebPage* EntryOrigins::webPage(size_t row) const
{
    const uint32_t page = row < origins_.size() ? origins_[row].webPage : 0;
    return page == 0 ? nullptr : webPages_[page - 1].get();
}

bool EntryOrigins::storeLine(std::string_view line, uint32_t& start)
{
    if (line.empty())
        return false;
    if (used_ + line.size() > kBlockBytes) {
        if (blocks_.size() >= kMostBlocks)
            return false;
        blocks_.push_back(std::shared_ptr<char[]>(new char[kBlockBytes]));
        used_ = 0;
    }
    char* at = blocks_.back().get() + used_;
    std::memcpy(at, line.data(), line.size());
    start = static_cast<uint32_t>((blocks_.size() - 1) * kBlockBytes + used_);
    used_ += line.size();
    lastLine_ = std::string_view(at, line.size());
    lastLineStart_ = start;
    return true;
}

void EntryOrigins::clear()
{
    origins_.clear();
    // A snapshot still reading keeps the blocks it holds.
    blocks_.clear();
    webPages_.clear();
    used_ = kBlockBytes;
    lastLine_ = {};
}

EntryOrigins::Snapshot EntryOrigins::snapshot(size_t rows) const
{
    Snapshot snapshot;
    const size_t count = std::min(rows, origins_.size());
    snapshot.origins_.assign(origins_.begin(), origins_.begin() + static_cast<std::ptrdiff_t>(count));
    snapshot.blocks_.assign(blocks_.begin(), blocks_.end());
    snapshot.webPages_ = webPages_;
    return snapshot;
}

std::string_view EntryOrigins::Snapshot::line(size_t row) const
{
    const Origin& origin = origins_.at(row);
    if (origin.lineLength == 0)
        return {};
    const size_t block = origin.lineStart / kBlockBytes;
    return {blocks_.at(block).get() + origin.lineStart % kBlockBytes, origin.lineLength};
}

const EntryOrigins::WebPage* EntryOrigins::Snapshot::webPage(size_t row) const
{
    const uint32_t page = origins_.at(row).webPage;
    return page == 0 ? nullptr : webPages_.at(page - 1).get();
}

} // namespace vellumax
