#pragma once

#include "numbers/number_classifier.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace vellumax {

// Where a number of the result list was found: all a row of the number table
// says beside what the number is. Texts are GBK.
struct NumberOrigin {
    std::string_view keyword; // trimmed, as the run searched it
    int32_t keywordNumber = 0; // 1-based, as the keyword position shows it
    int32_t pageOffset = 0;    // the pn of the page it was read from
    std::string_view foundAt;  // local time, "YYYY-MM-DD HH:MM:SS"
    std::string_view line;     // the page line, as tableLine() leaves it
    // The page it was read on: a site's page, or on the engine's page the
    // result block it stood in (its title and landing address); empty when
    // it stood in none.
    std::string_view pageTitle;
    std::string_view pageAddress;
};

// The longest page line a row keeps, in characters.
inline constexpr size_t kTableLineCharacters = 120;

// The number table: one CSV row per number the run added, under a header row
// 号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行,网页标题,网址.
// Rows are GBK, without their line break, quoted as the classification table
// is.
//
// Spreadsheets run a cell that begins with =, +, - or @ as a formula: such a
// text cell is written with a leading apostrophe. They also read a number of
// digits only as a quantity and drop its leading zero: such a number is
// written as ="013912345678", which they show as that text.
std::string numberTableHeader();
std::string numberTableRow(std::string_view number, const NumberFacts& facts, const NumberOrigin& origin);

// The page line as the table keeps it: blanks at both ends trimmed (bytes 0
// to 32 and the ideographic space), then cut to its first 120 characters,
// never inside a double-byte character. A view into `pageLine`.
std::string_view tableLine(std::string_view pageLine);

// A moment (milliseconds since the epoch) as the time column has it.
std::string tableTimeText(int64_t unixMs);

} // namespace vellumax
