#pragma once

#include "text/unique_fd.h"

#include <string>
#include <vector>

namespace vellumax {

// Reads a text file line by line, as the settings file and the keyword count
// are read:
// - a line ends at LF or at CR LF; the break is not part of the line;
// - a CR that is not followed by LF does not end the line and is dropped;
// - a last line without a break still counts;
// - the file ends at its physical end, or at a byte 26 (Ctrl-Z) standing
//   where a line would begin; elsewhere byte 26 is an ordinary character;
// - reading past the end is no error and yields an empty line.
// Failures throw FileError with the file-error message of their cause.
class LineReader {
public:
    explicit LineReader(const std::string& path);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    bool atEnd();
    std::string readLine();
    void readLine(std::string& line);

private:
    bool fill();

    UniqueFd fd_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    size_t end_ = 0;
    bool physicalEnd_ = false;
    bool softEnd_ = false; // a Ctrl-Z was met where a line begins
};

} // namespace vellumax
