#pragma once

#include "search/result_list.h"

#include <string>

namespace vellumax {

inline constexpr const char* kAutosaveFileName = "autosave.txt";

// Writes every entry of the list, each followed by CR LF. The previous file
// survives a failure (FileError).
void WriteResultList(const std::string& path, const ResultList& results);

// The progress snapshot "autosave.txt" in `folder`: replaced by the list's
// entries, or deleted (and none written) when the list is empty.
void writeAutosave(const std::string& folder, const ResultList& results);

} // namespace vellumax
