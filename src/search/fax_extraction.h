#pragma once

#include "search/result_list.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// At most this many bytes after a fax marker are read for its number.
inline constexpr size_t kNumberTailLength = 255;

// The run of "0123456789(-+)" that starts right after the first occurrence
// of the marker, within the 255 bytes that follow it: empty when the next
// byte is not one of them, nothing when the marker does not occur (or is
// empty).
std::optional<std::string_view> numberRunAfterMarker(std::string_view line, std::string_view fieldMarker);

// A run brought to the domestic dialling form: brackets become dashes, plus
// signs go, dash runs are halved twice, the country prefixes come off, a
// leading "0" is put in front where missing and one trailing dash is dropped.
// The length window is not applied.
std::string normaliseNumber(std::string_view run);

// Whether a normalised number's length lies within the window of 11 to 29
// bytes that a number must fit.
bool isWithinLengthWindow(std::string_view number);

// Steps 1 to 8 for one page line: the first occurrence of the marker, a tail
// of at most 255 bytes, the run of "0123456789(-+)", the replacements, the
// prefix table, the leading zero, the trailing dash and the length window of
// 11 to 29 bytes. Nothing when the line yields no number.
std::optional<std::string> faxNumberInLine(std::string_view line, std::string_view fieldMarker);

// Told of each number found, with the page line it stood in (a view that
// holds only during the call).
using FoundNumberCallback = std::function<void(std::string& number, std::string_view line)>;

// Calls `found` with the number of each of the page's lines that yields one,
// in line order, without a result list (nothing is dropped as a duplicate).
void forEachFaxNumber(const std::vector<std::string_view>& pageLines, std::string_view fieldMarker,
                      const FoundNumberCallback& found);

// forEachFaxNumber over the page lines of `pageText`, without taking the
// text apart into lines: the marker is looked for across the whole text, and
// only the lines that may hold it are cut out.
void forEachFaxNumberInText(std::string_view pageText, std::string_view fieldMarker,
                            const FoundNumberCallback& found);

// Adds the numbers a reading finds to the result list: `read` calls the
// callback it is given with each number. `deduplicate` is asked afresh for
// every number; when it answers true a number the list already holds is
// dropped. `appended` runs after each entry is added, with the line the
// number stood in. Returns how many entries were added.
size_t addFaxNumbers(const std::function<void(const FoundNumberCallback& found)>& read,
                     const std::function<bool()>& deduplicate, ResultList& results,
                     const std::function<void(std::string_view line)>& appended);

// Adds the numbers of a page's lines to the result list. `deduplicate` is
// asked afresh for every candidate; when it answers true a number the list
// already holds is dropped. `appended` runs after each entry is added, with
// the line the number stood in. Returns how many entries were added.
size_t ExtractFaxNumbers(const std::vector<std::string_view>& pageLines, std::string_view fieldMarker,
                         const std::function<bool()>& deduplicate, ResultList& results,
                         const std::function<void(std::string_view line)>& appended = {});
// The same over a page's text, as its lines would give it: only the lines
// that hold the marker are taken apart.
size_t ExtractFaxNumbers(std::string_view pageText, std::string_view fieldMarker,
                         const std::function<bool()>& deduplicate, ResultList& results,
                         const std::function<void(std::string_view line)>& appended = {});

} // namespace vellumax
