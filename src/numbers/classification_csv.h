#pragma once

#include "numbers/number_classifier.h"

#include <string>
#include <string_view>

namespace vellumax {

// The classification as a CSV table: a header row, then one row per number
// with the number as stored, its international form, "是" or "否", the kind
// and the region. Rows are GBK, without their line break.
std::string classificationCsvHeader();
std::string classificationCsvRow(std::string_view storedNumber, const NumberFacts& facts);

// One CSV field: quoted, with its quotes doubled, when it holds a comma, a
// quote or a line break; as it is otherwise. GBK is safe to scan byte-wise
// here: none of these bytes occurs inside a double-byte character.
void appendCsvField(std::string& row, std::string_view field);

} // namespace vellumax
