#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vellumax {

// The keyword count shown in the status bar: lines as the line reader finds
// them. Throws FileError ("File not found", ...).
int32_t countKeywordLines(const std::string& path);

// The keyword list: the whole file split by the text splitter, lines kept
// exactly as split. Throws Error "Cannot open file %s" when it cannot be read.
std::vector<std::string> loadKeywordList(const std::string& path);

} // namespace vellumax
