#pragma once

#include "numbers/number_classifier.h"
#include "numbers/number_table.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The number table of a headless search: each number the run adds, with what
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
    ~TableOutput();

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
    int fd_ = -1;
    bool regularFile_ = false;
    NumberClassifier classifier_;
    std::string pending_; // whole rows, each with its CR LF
};

// Whether two paths name one file: the same file when both exist, the same
// absolute path otherwise.
bool namesTheSameFile(const std::string& a, const std::string& b);

} // namespace vellumax
