#include "search/fax_extraction.h"

#include "search/page_analysis.h"

#include <array>
#include <cstring>

namespace vellumax {
namespace {

// A number is kept when its length lies within this window.
constexpr size_t kShortestNumber = 11;
constexpr size_t kLongestNumber = 29;

// Country prefixes, each tested once on what the one before left.
constexpr std::array<std::string_view, 7> kPrefixes = {"-", "0086-", "0086", "086-", "086", "86-", "86"};

bool isNumberByte(char c)
{
    return (c >= '0' && c <= '9') || c == '(' || c == '-' || c == '+' || c == ')';
}

// Every "--" becomes "-", left to right without overlap, in place: a run of
// n dashes comes out as n / 2 + n % 2 dashes.
void halveDashRuns(std::string& text)
{
    // Most numbers hold no dash run at all.
    size_t kept = text.find("--");
    if (kept == std::string::npos)
        return;
    for (size_t i = kept; i < text.size(); ++i) {
        text[kept++] = text[i];
        if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '-')
            ++i;
    }
    text.resize(kept);
}

// The first occurrence of `marker` in `line`, as line.find(marker) gives it.
// The markers end in a colon, which is rare in page text, while the lead
// byte of a Chinese marker is that of many common characters: looking for
// the last byte first skips most lines in one memchr.
size_t findMarker(std::string_view line, std::string_view marker)
{
    const size_t last = marker.size() - 1;
    const char* const begin = line.data();
    const char* const end = begin + line.size();
    if (line.size() <= last)
        return std::string_view::npos;
    for (const char* at = begin + last; at < end; ++at) {
        at = static_cast<const char*>(std::memchr(at, marker[last], static_cast<size_t>(end - at)));
        if (!at)
            return std::string_view::npos;
        // Occurrences end in the order they begin, so the first one that
        // matches whole is the first occurrence.
        if (std::memcmp(at - last, marker.data(), last) == 0)
            return static_cast<size_t>(at - last - begin);
    }
    return std::string_view::npos;
}

} // namespace

std::optional<std::string_view> numberRunAfterMarker(std::string_view line, std::string_view fieldMarker)
{
    if (fieldMarker.empty())
        return std::nullopt;
    const size_t at = findMarker(line, fieldMarker);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view tail = line.substr(at + fieldMarker.size(), kNumberTailLength);
    size_t runLength = 0;
    while (runLength < tail.size() && isNumberByte(tail[runLength]))
        ++runLength;
    return tail.substr(0, runLength);
}

std::string normaliseNumber(std::string_view run)
{
    // One buffer throughout; a usual number fits in the string itself.
    std::string number;
    number.reserve(run.size() + 1);
    // Brackets become dashes and plus signs go, in one pass: none of these
    // replacements produces a byte that a later one of them looks for.
    for (const char c : run) {
        if (c == '(' || c == ')')
            number += '-';
        else if (c != '+')
            number += c;
    }
    halveDashRuns(number);
    halveDashRuns(number);

    size_t cut = 0;
    for (const std::string_view prefix : kPrefixes)
        if (std::string_view(number).substr(cut).starts_with(prefix))
            cut += prefix.size();
    number.erase(0, cut);

    if (!number.starts_with('0'))
        number.insert(number.begin(), '0');
    if (number.back() == '-')
        number.pop_back();
    return number;
}

bool isWithinLengthWindow(std::string_view number)
{
    return number.size() >= kShortestNumber && number.size() <= kLongestNumber;
}

std::optional<std::string> faxNumberInLine(std::string_view line, std::string_view fieldMarker)
{
    const std::optional<std::string_view> run = numberRunAfterMarker(line, fieldMarker);
    if (!run)
        return std::nullopt;
    std::string candidate = normaliseNumber(*run);
    if (!isWithinLengthWindow(candidate))
        return std::nullopt;
    return candidate;
}

size_t addFaxNumbers(const std::function<void(const FoundNumberCallback& found)>& read,
                     const std::function<bool()>& deduplicate, ResultList& results,
                     const std::function<void(std::string_view line)>& appended)
{
    size_t added = 0;
    read([&](std::string& number, std::string_view line) {
        if (deduplicate && deduplicate() && results.contains(number))
            return;
        results.append(std::move(number));
        ++added;
        if (appended)
            appended(line);
    });
    return added;
}

void forEachFaxNumber(const std::vector<std::string_view>& pageLines, std::string_view fieldMarker,
                      const FoundNumberCallback& found)
{
    if (fieldMarker.empty())
        return;
    for (const std::string_view line : pageLines)
        if (std::optional<std::string> number = faxNumberInLine(line, fieldMarker))
            found(*number, line);
}

void forEachFaxNumberInText(std::string_view pageText, std::string_view fieldMarker,
                            const FoundNumberCallback& found)
{
    if (fieldMarker.empty())
        return;
    pageText = pageText.substr(0, pageText.find('\0'));
    const size_t last = fieldMarker.size() - 1;
    // Lines before `lineStart` are done. The marker's last byte is looked
    // for across the lines; only a line that holds it is taken apart.
    size_t lineStart = 0;
    while (lineStart + last < pageText.size()) {
        const void* hit = std::memchr(pageText.data() + lineStart + last, fieldMarker[last],
                                      pageText.size() - lineStart - last);
        if (!hit)
            return;
        const PageLineSpan span =
            pageLineHolding(pageText, lineStart, static_cast<size_t>(static_cast<const char*>(hit) - pageText.data()));
        const std::string_view line = pageText.substr(span.start, std::min(span.end - span.start, kPageLineLimit));
        if (std::optional<std::string> number = faxNumberInLine(line, fieldMarker))
            found(*number, line);
        lineStart = span.end + 2;
    }
}

size_t ExtractFaxNumbers(const std::vector<std::string_view>& pageLines, std::string_view fieldMarker,
                         const std::function<bool()>& deduplicate, ResultList& results,
                         const std::function<void(std::string_view line)>& appended)
{
    return addFaxNumbers([&](const FoundNumberCallback& found) { forEachFaxNumber(pageLines, fieldMarker, found); },
                         deduplicate, results, appended);
}

size_t ExtractFaxNumbers(std::string_view pageText, std::string_view fieldMarker,
                         const std::function<bool()>& deduplicate, ResultList& results,
                         const std::function<void(std::string_view line)>& appended)
{
    return addFaxNumbers(
        [&](const FoundNumberCallback& found) { forEachFaxNumberInText(pageText, fieldMarker, found); }, deduplicate,
        results, appended);
}

} // namespace vellumax
