#pragma once

#include <cstdint>
#include <string>

namespace vellumax {

inline constexpr const char* kSettingsFileName = "vellumax.ini";

// What the settings file keeps between two runs of the program.
struct Settings {
    std::string keywordFile;   // GBK bytes, shown in the search-file field
    int32_t keywordCursor = 0; // 0-based index of the next keyword to take
    bool deduplicate = false;  // the "去重" switch
    int32_t interval = 8;      // seconds between page reads, 1 to 1000
};

// Reads "vellumax.ini" in `folder` (ending in "/") into `settings`. A missing
// file changes nothing. The values are applied in file order, so a failure
// at a line (FileError, or Error for a line 2 or 4 that is not an integer)
// leaves the values before it set and the rest as they were.
void readSettingsFile(const std::string& folder, Settings& settings);

// Writes the four lines: the keyword file, the keyword cursor minus one,
// "qcyes" or "qcno", the interval. The previous file survives a failure.
void writeSettingsFile(const std::string& folder, const Settings& settings);

// The same two for a file of the same four lines at any path (the headless
// search's state file).
void readSettingsFileAt(const std::string& path, Settings& settings);
void writeSettingsFileAt(const std::string& path, const Settings& settings);

} // namespace vellumax
