// The line rule of page texts, the pager scan and the page cap. The first
// two bytes choose the page offset; the rest is the page text.
#include "fuzz_check.h"
#include "search/page_analysis.h"

#include <algorithm>
#include <string>
#include <vector>

using namespace vellumax;

namespace {

// Lines end only at CR LF, a NUL ends the text, lines are cut to 4096 bytes
// and an empty last line is not counted.
std::vector<std::string> referenceLines(std::string_view text)
{
    text = text.substr(0, text.find('\0'));
    std::vector<std::string> lines;
    std::string current;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            lines.push_back(current.substr(0, kPageLineLimit));
            current.clear();
            ++i;
        } else {
            current += text[i];
        }
    }
    if (!current.empty())
        lines.push_back(current.substr(0, kPageLineLimit));
    return lines;
}

bool referencePagerLine(const std::string& line)
{
    const std::string next = "\xCF\xC2\xD2\xBB\xD2\xB3";     // 下一页
    const std::string previous = "\xC9\xCF\xD2\xBB\xD2\xB3"; // 上一页
    if (line.find(next) == std::string::npos || line.find('[') == std::string::npos ||
        line.find(']') == std::string::npos)
        return false;
    return line.find(previous) == 0 || line.find('1') == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    const int32_t offset = (data[0] << 8 | data[1]) % 1000;
    const std::string_view text = fuzz::bytesOf(data + 2, size - 2);

    const PageAnalysis analysis = analysePage(text, offset);
    const std::vector<std::string> expected = referenceLines(text);
    FUZZ_CHECK(std::equal(analysis.lines.begin(), analysis.lines.end(), expected.begin(), expected.end()));

    bool pager = false;
    for (const std::string_view line : analysis.lines) {
        // Every line is a view into the text itself.
        FUZZ_CHECK(line.empty() || (line.data() >= text.data() && line.data() + line.size() <= text.data() + text.size()));
        FUZZ_CHECK(line.size() <= kPageLineLimit);
        FUZZ_CHECK(line.find("\r\n") == std::string::npos);
        FUZZ_CHECK(line.find('\0') == std::string::npos);
        pager = pager || referencePagerLine(std::string(line));
    }
    FUZZ_CHECK(pagerOffersNextPage(analysis.lines) == pager);
    FUZZ_CHECK(analysis.morePages == (pager && offset < kPageCap));
    return 0;
}
