#pragma once

#include "text/unique_fd.h"

#include <string>
#include <vector>

namespace vellumax {

// The numbers file of a headless search: opened for appending, never
// truncated, so the numbers it already holds stay. Each page's numbers are
// written as GBK lines ending in CR LF and forced to the disk before the
// next page is asked for, so a crash or a power cut costs at most the page
// in progress. "-" writes to standard output.
class NumberOutput {
public:
    // Opens (or creates) the file. Throws Error "Cannot create file %s" when
    // it cannot be written.
    explicit NumberOutput(const std::string& path);

    NumberOutput(const NumberOutput&) = delete;
    NumberOutput& operator=(const NumberOutput&) = delete;

    // The numbers the file held when it was opened, in file order.
    const std::vector<std::string>& existing() const { return existing_; }

    // Appends the numbers and forces them out. Throws FileError.
    void append(const std::vector<std::string>& numbers);

private:
    std::string path_;
    UniqueFd file_; // none for standard output, which is not ours to close
    int fd_ = -1;   // file_, or standard output
    bool regularFile_ = false;
    std::vector<std::string> existing_;
    // A file that ended in the middle of a line (cut off by a crash) gets
    // its line ended before the first new number.
    bool endOpenLine_ = false;
};

} // namespace vellumax
