#pragma once

#include "numbers/harvest_summary.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The cells of one row of the number table, its quotes and doubled quotes
// undone, or nothing when the quoting is broken.
std::optional<std::vector<std::string>> tableCells(std::string_view row);

// A cell as the table's guards left it, without them: the apostrophe before
// a text a spreadsheet would run as a formula, the ="..." around a number of
// digits only.
std::string unguardedCell(std::string_view cell);

// Adds the numbers of a number table (GBK, or UTF-8 after a byte-order
// mark; with or without the page columns) to `summary`. The table's own
// classification is taken as written; a keyword's distinct page offsets
// count as its pages read. Throws Error, naming the file and the line, for a
// file that is not such a table.
void summariseTable(const std::string& path, HarvestSummary& summary);

} // namespace vellumax
