#include "search/page_analysis.h"

#include "text/bytes.h"

#include <algorithm>
#include <cstring>

namespace vellumax {
namespace {

constexpr std::string_view kNextPageWord = "\xCF\xC2\xD2\xBB\xD2\xB3";     // 下一页
constexpr std::string_view kPreviousPageWord = "\xC9\xCF\xD2\xBB\xD2\xB3"; // 上一页
constexpr std::string_view kFirstPageMark = "1";

} // namespace

PageLines pageLines(std::string_view pageText)
{
    if (const size_t nul = pageText.find('\0'); nul != std::string_view::npos)
        pageText = pageText.substr(0, nul);

    PageLines lines;
    const char* start = pageText.data();
    const char* const end = start + pageText.size();
    while (start < end) {
        // memchr for the CR, then a look at the byte after it: a lone CR
        // stays inside the line.
        const char* stop = start;
        for (;;) {
            stop = static_cast<const char*>(std::memchr(stop, '\r', static_cast<size_t>(end - stop)));
            if (!stop || (stop + 1 < end && stop[1] == '\n'))
                break;
            ++stop;
        }
        const size_t length = static_cast<size_t>((stop ? stop : end) - start);
        lines.emplace_back(start, std::min(length, kPageLineLimit));
        if (!stop)
            break;
        start = stop + 2;
    }
    // An empty text, or a text ending in CR LF, leaves an empty last line
    // that the box does not count; the loop never starts that line.
    return lines;
}

PageLineSpan pageLineHolding(std::string_view pageText, size_t from, size_t at)
{
    const char* const text = pageText.data();
    const size_t size = pageText.size();
    const auto isBreak = [&](size_t i) { return i + 1 < size && text[i] == '\r' && text[i + 1] == '\n'; };
    // The line begins after the last CR LF that ends before `at`...
    size_t start = from;
    for (size_t lf = at; lf > from + 1;) {
        const void* back = ::memrchr(text + from + 1, '\n', lf - from - 1);
        if (!back)
            break;
        lf = static_cast<size_t>(static_cast<const char*>(back) - text);
        if (isBreak(lf - 1)) {
            start = lf + 1;
            break;
        }
    }
    // ...and ends at the first CR LF from the byte before `at` on.
    size_t end = at > start ? at - 1 : start;
    for (;;) {
        const void* cr = std::memchr(text + end, '\r', size - end);
        end = cr ? static_cast<size_t>(static_cast<const char*>(cr) - text) : size;
        if (!cr || isBreak(end))
            break;
        ++end;
    }
    return {start, end};
}

bool isPagerLine(std::string_view line)
{
    // The beginning is tested first: it rules out almost every line without
    // reading it.
    return (beginsWithBytes(line, kPreviousPageWord) || beginsWithBytes(line, kFirstPageMark)) &&
           containsBytes(line, kNextPageWord) && line.find('[') != std::string_view::npos &&
           line.find(']') != std::string_view::npos;
}

bool anyNextPageLine(std::string_view pageText, const std::function<bool(std::string_view line)>& test)
{
    pageText = pageText.substr(0, pageText.find('\0'));
    for (size_t lineStart = 0; lineStart < pageText.size();) {
        const void* hit = ::memmem(pageText.data() + lineStart, pageText.size() - lineStart, kNextPageWord.data(),
                                   kNextPageWord.size());
        if (!hit)
            return false;
        const PageLineSpan span =
            pageLineHolding(pageText, lineStart, static_cast<size_t>(static_cast<const char*>(hit) - pageText.data()));
        if (test(pageText.substr(span.start, std::min(span.end - span.start, kPageLineLimit))))
            return true;
        lineStart = span.end + 2;
    }
    return false;
}

bool pagerOffersNextPage(const PageLines& lines)
{
    return std::any_of(lines.begin(), lines.end(), isPagerLine);
}

PageAnalysis analysePage(std::string_view pageText, int32_t pageOffset)
{
    PageAnalysis analysis;
    analysis.lines = pageLines(pageText);
    analysis.morePages = pageOffset < kPageCap && pagerOffersNextPage(analysis.lines);
    return analysis;
}

} // namespace vellumax
