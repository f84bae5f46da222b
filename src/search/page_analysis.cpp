#include "search/page_analysis.h"

#include "text/bytes.h"

#include <algorithm>

namespace vellumax {
namespace {

constexpr std::string_view kNextPageWord = "\xCF\xC2\xD2\xBB\xD2\xB3";     // 下一页
constexpr std::string_view kPreviousPageWord = "\xC9\xCF\xD2\xBB\xD2\xB3"; // 上一页
constexpr std::string_view kFirstPageMark = "1";

bool isPagerLine(std::string_view line)
{
    return containsBytes(line, kNextPageWord) && line.find('[') != std::string_view::npos &&
           line.find(']') != std::string_view::npos &&
           (beginsWithBytes(line, kPreviousPageWord) || beginsWithBytes(line, kFirstPageMark));
}

} // namespace

std::vector<std::string> pageLines(std::string_view pageText)
{
    if (const size_t nul = pageText.find('\0'); nul != std::string_view::npos)
        pageText = pageText.substr(0, nul);

    std::vector<std::string> lines;
    size_t start = 0;
    while (start < pageText.size()) {
        const size_t stop = pageText.find("\r\n", start);
        const size_t end = stop == std::string_view::npos ? pageText.size() : stop;
        lines.emplace_back(pageText.substr(start, std::min(end - start, kPageLineLimit)));
        if (stop == std::string_view::npos)
            break;
        start = stop + 2;
    }
    // An empty text, or a text ending in CR LF, leaves an empty last line
    // that the box does not count; the loop never starts that line.
    return lines;
}

bool pagerOffersNextPage(const std::vector<std::string>& lines)
{
    return std::any_of(lines.begin(), lines.end(), [](const std::string& line) { return isPagerLine(line); });
}

PageAnalysis analysePage(std::string_view pageText, int32_t pageOffset)
{
    PageAnalysis analysis;
    analysis.lines = pageLines(pageText);
    analysis.morePages = pageOffset < kPageCap && pagerOffersNextPage(analysis.lines);
    return analysis;
}

} // namespace vellumax
