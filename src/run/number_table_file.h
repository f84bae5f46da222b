#pragma once

#include "numbers/number_classifier.h"
#include "numbers/number_table.h"
#include "run/entry_origins.h"
#include "search/result_list.h"
#include "text/unique_fd.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The number table, in GBK or in UTF-8 with a byte-order mark: appended to
// by a run as it goes, or written whole from the window's list. Both take
// their header and rows from here.

// The number table of a run that writes one as it goes: each number the run adds, with what
// it is and where it was found, one CSV row (see number_table.h). The file
// is opened for appending, never truncated, so a resumed run goes on in the
// same table; a new or empty file gets the header row first. Rows are kept
// as numbers are added and written with the page's numbers, forced to the
// disk, so a kill costs at most the page in progress.
class TableOutput {
public:
    // Opens (or creates) the table. Throws Error, before anything is
    // written, when it cannot be written or when its rows are in the other
    // encoding: a file that begins with a UTF-8 byte-order mark takes only
    // UTF-8 rows, any other only GBK rows.
    TableOutput(const std::string& path, bool utf8);

    TableOutput(const TableOutput&) = delete;
    TableOutput& operator=(const TableOutput&) = delete;

    // Keeps the row of a number just added, for the next write.
    void add(std::string_view number, const NumberOrigin& origin);

    // Appends the rows kept since the last write and forces them out.
    // Throws FileError.
    void write();

private:
    std::string path_;
    bool utf8_;
    UniqueFd fd_;
    bool regularFile_ = false;
    NumberClassifier classifier_;
    std::string pending_; // whole rows, each with its CR LF
};

// The window's list as the number table wants it: a copy of its numbers and
// of their origins, taken on the window's thread, that a worker reads while
// the run goes on adding to the list.
struct ResultTable {
    std::vector<std::string> numbers;
    EntryOrigins::Snapshot origins;    // as many, or fewer for entries without one
    std::vector<std::string> keywords; // the keyword list, trimmed as the run searches them
};

ResultTable takeResultTable(const ResultList& results, const EntryOrigins& origins,
                            const std::vector<std::string>& keywordList);

// Writes the whole table, header first, GBK or UTF-8 with a byte-order mark,
// through a temporary file that takes the name of `path` only once every row
// is written. `goOn` is told how many rows are done after each batch; when it
// answers false the writing stops, nothing is written and false comes back.
// A failure throws FileError and leaves the file at `path` as it was.
bool writeResultTable(const std::string& path, bool utf8, const ResultTable& table, const NumberClassifier& classifier,
                      const std::function<bool(size_t rowsDone)>& goOn);

// Whether two paths name one file: the same file when both exist, the same
// absolute path otherwise.
bool namesTheSameFile(const std::string& a, const std::string& b);

} // namespace vellumax
