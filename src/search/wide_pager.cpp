#include "search/wide_pager.h"

#include <algorithm>
#include <array>

namespace vellumax {
namespace {

constexpr std::string_view kNextPageWord = "\xCF\xC2\xD2\xBB\xD2\xB3";     // 下一页
constexpr std::string_view kPreviousPageWord = "\xC9\xCF\xD2\xBB\xD2\xB3"; // 上一页

// Arrows and blanks a pager puts beside its words. Arrows that GBK lacks
// (›, », ‹, «) reach us as "?".
constexpr std::array<std::string_view, 13> kArrows = {
    " ", "\t", ">", "<", "?", "\xA1\xFA" /* → */, "\xA1\xFB" /* ← */, "\xA1\xB5" /* 〉 */, "\xA1\xB4" /* 〈 */,
    "\xA1\xB7" /* 》 */, "\xA1\xB6" /* 《 */, "\xA3\xBE" /* ＞ */, "\xA3\xBC" /* ＜ */};

size_t arrowAt(std::string_view s, size_t i)
{
    for (const std::string_view arrow : kArrows)
        if (s.substr(i).starts_with(arrow))
            return arrow.size();
    return 0;
}

std::string_view withoutArrows(std::string_view s)
{
    for (size_t n = 0; !s.empty() && (n = arrowAt(s, 0)) != 0;)
        s.remove_prefix(n);
    for (bool trimmed = true; trimmed && !s.empty();) {
        trimmed = false;
        for (const std::string_view arrow : kArrows)
            if (s.ends_with(arrow)) {
                s.remove_suffix(arrow.size());
                trimmed = true;
                break;
            }
    }
    return s;
}

} // namespace

bool isNextPageLinkText(std::string_view text)
{
    return withoutArrows(text) == kNextPageWord;
}

bool isPlainPagerLine(std::string_view line)
{
    const size_t next = line.find(kNextPageWord);
    if (next == std::string_view::npos)
        return false;
    for (size_t i = 0; i < next;) {
        if ((line[i] >= '0' && line[i] <= '9') || line[i] == '[' || line[i] == ']')
            ++i;
        else if (const size_t arrow = arrowAt(line, i))
            i += arrow;
        else if (line.substr(i).starts_with(kPreviousPageWord))
            i += kPreviousPageWord.size();
        else
            return false;
    }
    return true;
}

bool wideOffersNextPage(const PageLines& lines, const std::vector<std::string>* links, int32_t pageOffset)
{
    if (pageOffset >= kPageCap)
        return false;
    if (pagerOffersNextPage(lines))
        return true;
    if (links)
        return std::any_of(links->begin(), links->end(), [](const std::string& t) { return isNextPageLinkText(t); });
    return std::any_of(lines.begin(), lines.end(), isPlainPagerLine);
}

bool wideOffersNextPageInText(std::string_view pageText, const std::vector<std::string>* links, int32_t pageOffset)
{
    if (pageOffset >= kPageCap)
        return false;
    const auto nextPageLink = [](const std::string& text) { return isNextPageLinkText(text); };
    if (links && std::any_of(links->begin(), links->end(), nextPageLink))
        return true;
    // Without the links, a plain pager line stands in for them.
    return anyNextPageLine(pageText, [links](std::string_view line) {
        return isPagerLine(line) || (!links && isPlainPagerLine(line));
    });
}

} // namespace vellumax
