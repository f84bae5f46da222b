#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// Where each entry of the window's result list was found: the keyword's
// number, the page offset, the time, the page line and the web page (a
// site's page, or the engine's result block), kept row by row beside the
// captions for the number table.
//
// A million entries must fit beside the list itself: an entry's record is a
// few words, and its line sits in large append-only blocks of text that the
// numbers of one line share. The blocks are never moved or changed once
// written, so a snapshot can read the lines on another thread while the run
// goes on recording.
class EntryOrigins {
public:
    // Twenty bytes an entry: a million of them take 20 MB.
    struct Origin {
        uint32_t lineStart = 0;      // block * kBlockBytes + offset
        uint32_t foundAt = 0;        // seconds since the epoch
        int32_t keywordNumber = 0;   // 1-based
        uint32_t lineLength : 8 = 0; // a cut line has at most 240 bytes
        uint32_t pageOffset : 23 = 0;
        uint32_t fromSite : 1 = 0; // read on a result's own site, not on the engine's page
        uint32_t webPage = 0; // 1 + its index among the web pages, 0 for none
    };

    // The title (GBK) and address of the page a number was read on. The
    // numbers of one page share it.
    struct WebPage {
        std::string title;
        std::string address;
    };

    static constexpr size_t kBlockBytes = size_t(1) << 20;
    static constexpr size_t kLongestLine = 255;

    // The origin of the list's entry at `row`, its line already cut as the
    // table keeps it (longer lines are cut to kLongestLine bytes). Rows come
    // in order; a row below the ones kept means the list was emptied and is
    // filled anew, and every older origin goes.
    void record(size_t row, int32_t keywordNumber, int32_t pageOffset, int64_t foundAtMs, std::string_view line,
                const WebPage& webPage = {}, bool fromSite = false);

    size_t size() const { return origins_.size(); }
    // The web page of the entry at `row`, or null when it has none.
    const WebPage* webPage(size_t row) const;
    void clear();

    // The origins of the first rows, for reading on another thread.
    class Snapshot {
    public:
        size_t size() const { return origins_.size(); }
        const Origin& at(size_t row) const { return origins_.at(row); }
        std::string_view line(size_t row) const;
        const WebPage* webPage(size_t row) const;

    private:
        friend class EntryOrigins;
        std::vector<Origin> origins_;
        std::vector<std::shared_ptr<const char[]>> blocks_;
        std::vector<std::shared_ptr<const WebPage>> webPages_;
    };
    // At most `rows` of them: fewer when fewer were recorded.
    Snapshot snapshot(size_t rows) const;

private:
    // Copies the line into the last block, or a new one; false when the
    // blocks are full (or the line is empty).
    bool storeLine(std::string_view line, uint32_t& start);

    uint32_t storeWebPage(const WebPage& page);

    std::deque<Origin> origins_;
    std::vector<std::shared_ptr<char[]>> blocks_;
    std::vector<std::shared_ptr<const WebPage>> webPages_;
    size_t used_ = kBlockBytes; // bytes used in the last block
    // The line stored last: the numbers of one line come one after another,
    // and share it.
    std::string_view lastLine_;
    uint32_t lastLineStart_ = 0;
};

} // namespace vellumax
