// Fax number extraction over page lines, against the steps of the rule
// carried out one by one with plain string operations. The first byte
// chooses the field marker and the de-duplication switch; the rest is split
// into page lines at LF.
#include "fuzz_check.h"
#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/query_builder.h"
#include "search/wide_number_forms.h"
#include "search/wide_reading.h"

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

using namespace vellumax;

namespace {

void replaceAll(std::string& text, std::string_view from, std::string_view to)
{
    std::string out;
    size_t pos = 0;
    for (size_t at; (at = text.find(from, pos)) != std::string::npos; pos = at + from.size())
        out.append(text, pos, at - pos).append(to);
    out.append(text, pos);
    text = out;
}

std::optional<std::string> referenceNumber(const std::string& line, const std::string& marker)
{
    if (marker.empty())
        return std::nullopt;
    const size_t at = line.find(marker);
    if (at == std::string::npos)
        return std::nullopt;
    const std::string tail = line.substr(at + marker.size(), 255);
    const std::string number = tail.substr(0, tail.find_first_not_of("0123456789(-+)"));
    std::string candidate = number;
    replaceAll(candidate, "(", "-");
    replaceAll(candidate, ")", "-");
    replaceAll(candidate, "+", "");
    replaceAll(candidate, "--", "-");
    replaceAll(candidate, "--", "-");
    for (const std::string_view prefix : {"-", "0086-", "0086", "086-", "086", "86-", "86"})
        if (candidate.find(prefix) == 0)
            candidate.erase(0, prefix.size());
    if (candidate.find('0') != 0)
        candidate.insert(0, "0");
    if (candidate.back() == '-')
        candidate.pop_back();
    if (candidate.size() <= 10 || candidate.size() >= 30)
        return std::nullopt;
    return candidate;
}

// Dashes at the end of the run once brackets became dashes and plus signs
// went: five or more of them leave one trailing dash after the two halving
// passes and the dropped last dash.
size_t trailingDashes(std::string_view run)
{
    size_t dashes = 0;
    for (size_t i = run.size(); i-- > 0;) {
        if (run[i] == '+')
            continue;
        if (run[i] != '-' && run[i] != '(' && run[i] != ')')
            break;
        ++dashes;
    }
    return dashes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const std::string markers[] = {std::string(kChineseFaxMarker), std::string(kLatinFaxMarker), ""};
    const std::string& marker = markers[data[0] % 3];
    const bool deduplicate = data[0] & 4;

    std::vector<std::string> lines;
    const std::string_view text = fuzz::bytesOf(data + 1, size - 1);
    for (size_t pos = 0; pos <= text.size();) {
        const size_t lf = std::min(text.find('\n', pos), text.size());
        lines.emplace_back(text.substr(pos, lf - pos));
        pos = lf + 1;
    }

    std::vector<std::string> expected;
    std::set<std::string> seen;
    for (const std::string& line : lines) {
        const std::optional<std::string> number = faxNumberInLine(line, marker);
        FUZZ_CHECK(number == referenceNumber(line, marker));
        if (!number)
            continue;
        FUZZ_CHECK(number->size() >= 11 && number->size() <= 29);
        FUZZ_CHECK(number->find_first_not_of("0123456789-") == std::string::npos);
        FUZZ_CHECK(number->front() == '0');
        if (number->back() == '-')
            FUZZ_CHECK(trailingDashes(*numberRunAfterMarker(line, marker)) >= 5);
        if (deduplicate && !seen.insert(*number).second)
            continue;
        expected.push_back(*number);
    }

    ResultList results;
    size_t appended = 0;
    const size_t added = ExtractFaxNumbers(
        std::vector<std::string_view>(lines.begin(), lines.end()), marker, [&] { return deduplicate; }, results, [&](std::string_view) { ++appended; });
    FUZZ_CHECK(added == expected.size() && appended == added && results.size() == added);
    for (size_t i = 0; i < results.size(); ++i) {
        FUZZ_CHECK(results[i] == expected[i]);
        FUZZ_CHECK(results.contains(expected[i]));
    }

    // Across the whole text as line by line, with the page line rules.
    std::vector<std::string> byLine, inText;
    forEachFaxNumber(pageLines(text), marker, [&](std::string& n, std::string_view) { byLine.push_back(n); });
    forEachFaxNumberInText(text, marker, [&](std::string& n, std::string_view) { inText.push_back(n); });
    FUZZ_CHECK(inText == byLine);
    FUZZ_CHECK(anyNextPageLine(text, isPagerLine) == pagerOffersNextPage(pageLines(text)));

    // Wide reading gives every number the marker rule gives (a service
    // number in its own form), the one of "传真:" first on its line, and the
    // same across the text.
    std::vector<std::string> wideByLine, wideInText;
    const PageLines page = pageLines(text);
    WideFaxReader reader;
    for (const std::string_view line : page) {
        std::vector<std::string> wide;
        reader.readLine(line, [&](std::string& n, std::string_view) { wide.push_back(n); });
        for (const std::string_view m : {kChineseFaxMarker, kLatinFaxMarker})
            if (const std::optional<std::string> number = faxNumberInLine(line, m))
                FUZZ_CHECK(std::find(wide.begin(), wide.end(), wideNumberForm(*number)) != wide.end());
        if (const std::optional<std::string> first = faxNumberInLine(line, kChineseFaxMarker))
            FUZZ_CHECK(wide.front() == wideNumberForm(*first));
        for (const std::string& n : wide)
            FUZZ_CHECK(n.size() >= 11 && n.size() <= 29 &&
                       (n.front() == '0' || n.starts_with("400-") || n.starts_with("800-")));
        wideByLine.insert(wideByLine.end(), wide.begin(), wide.end());
    }
    WideFaxReader textReader;
    forEachWideFaxNumberInText(text, textReader, [&](std::string& n, std::string_view) { wideInText.push_back(n); });
    FUZZ_CHECK(wideInText == wideByLine);
    return 0;
}
