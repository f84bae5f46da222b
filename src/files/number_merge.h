#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vellumax {

struct MergeOutcome {
    size_t count = 0;                       // distinct lines written
    std::optional<std::string> joinFailure; // message of a join that stopped part-way
};

// Joins `inputs` byte for byte, keeps one line of each group that compares
// equal under the user's locale collation ignoring case (the one met first,
// with its own spelling), sorts them ascending and writes them to `output`,
// each followed by CR LF. Every input is read before `output` is written,
// so an input may also be the output.
//
// An input that cannot be read stops the join ("Cannot open file %s",
// "Stream read error"): what was joined before it is still merged and
// written, and the failure comes back in `joinFailure`. An output that
// cannot be created throws Error "Cannot create file %s" before any input is
// read; one that fails while being written throws "Stream write error".
// Either way the previous output file stays as it was.
MergeOutcome mergeNumberFiles(const std::vector<std::string>& inputs, const std::string& output);

// "文件合并整理完毕！共计：" followed by the count, GBK bytes.
std::string mergeStatusText(size_t count);

} // namespace vellumax
