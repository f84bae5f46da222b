#include "search/fax_extraction.h"

#include <array>

namespace vellumax {
namespace {

// At most this many bytes after the marker are looked at.
constexpr size_t kTailLength = 255;
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
    size_t kept = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        text[kept++] = text[i];
        if (text[i] == '-' && i + 1 < text.size() && text[i + 1] == '-')
            ++i;
    }
    text.resize(kept);
}

} // namespace

std::optional<std::string_view> numberRunAfterMarker(std::string_view line, std::string_view fieldMarker)
{
    if (fieldMarker.empty())
        return std::nullopt;
    const size_t at = line.find(fieldMarker);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::string_view tail = line.substr(at + fieldMarker.size(), kTailLength);
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

std::optional<std::string> faxNumberInLine(std::string_view line, std::string_view fieldMarker)
{
    const std::optional<std::string_view> run = numberRunAfterMarker(line, fieldMarker);
    if (!run)
        return std::nullopt;
    std::string candidate = normaliseNumber(*run);
    if (candidate.size() < kShortestNumber || candidate.size() > kLongestNumber)
        return std::nullopt;
    return candidate;
}

size_t ExtractFaxNumbers(const std::vector<std::string>& pageLines, std::string_view fieldMarker,
                         const std::function<bool()>& deduplicate, ResultList& results,
                         const std::function<void()>& appended)
{
    size_t added = 0;
    if (fieldMarker.empty())
        return added;
    for (const std::string& line : pageLines) {
        std::optional<std::string> number = faxNumberInLine(line, fieldMarker);
        if (!number)
            continue;
        if (deduplicate && deduplicate() && results.contains(*number))
            continue;
        results.append(std::move(*number));
        ++added;
        if (appended)
            appended();
    }
    return added;
}

} // namespace vellumax
