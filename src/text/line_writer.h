#pragma once

#include "text/unique_fd.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// Writes a text file line by line: every line followed by CR LF, the last
// one included, as GBK bytes without a byte-order mark.
//
// A regular file is never replaced in place: the lines go to a temporary
// file in the same folder, which takes the file's name only when commit()
// has written everything. A failure (full disk, read-only folder, ...) leaves
// the previous file as it was and removes the temporary one. Targets that are
// not regular files (a device such as /dev/full, a pipe) are written directly.
//
// Failures throw FileError with the file-error message of their cause.
class LineWriter {
public:
    explicit LineWriter(const std::string& path);
    ~LineWriter();
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;

    void writeLine(std::string_view line);
    void commit();

private:
    void flush();
    void discard() noexcept;

    std::string target_;
    std::string temporary_; // empty when writing the target directly
    UniqueFd fd_;
    std::string buffer_;
};

// Writes all of `lines` through a LineWriter and commits.
void writeLinesFile(const std::string& path, const std::vector<std::string>& lines);

} // namespace vellumax
