#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace vellumax {

// Calls `line` with the distinct lines of `text` (split as the text splitter
// does), each the first met of its group of lines that compare equal under
// the collation of `locale` ignoring case, in ascending order, and returns
// their number.
//
// The outcome is that of inserting the lines one by one into a list kept
// sorted, refusing a line equal to one already there: equality is an
// equivalence, so a line is refused exactly when an earlier line of its group
// was taken, and the order of the distinct lines is the collation's.
//
// The lines are shared among `parts` threads by a hash of their plain form,
// each thread sorting its share (sort keys of different lines are
// independent); the sorted parts are then merged, the earlier line first
// among equal keys, so the outcome does not depend on `parts`.
size_t forEachDistinctLine(std::string_view text, const std::string& locale, size_t parts,
                           const std::function<void(std::string_view line)>& line);

// How many parts a text of this size is worth: one per core, up to four,
// and one for a small text.
size_t distinctLineParts(size_t textSize);

} // namespace vellumax
