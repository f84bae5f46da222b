#pragma once

#include "app/entry_origins.h"
#include "numbers/number_classifier.h"
#include "search/result_list.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace vellumax {

// The window's list as the number table wants it: a copy of its numbers and
// of their origins, taken on the window's thread, that a worker reads while
// the run goes on adding to the list.
struct ResultTable {
    std::vector<std::string> numbers;
    EntryOrigins::Snapshot origins; // as many, or fewer for entries without one
    std::vector<std::string> keywords; // the keyword list, trimmed as the run searches them
};

ResultTable takeResultTable(const ResultList& results, const EntryOrigins& origins,
                            const std::vector<std::string>& keywordList);

// Writes the whole table, header first, GBK or UTF-8 with a byte-order mark,
// through a temporary file that takes the name of `path` only once every row
// is written. `goOn` is told how many rows are done after each batch; when it
// answers false the writing stops, nothing is written and false comes back.
// A failure throws FileError and leaves the file at `path` as it was.
bool writeResultTable(const std::string& path, bool utf8, const ResultTable& table,
                      const NumberClassifier& classifier, const std::function<bool(size_t rowsDone)>& goOn);

} // namespace vellumax
