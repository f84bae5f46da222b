// The result blocks of an engine's page, as the document gives them: any
// titles, addresses and texts become blocks whose titles fit a table cell on
// one line, whose landing pages are sites the run may open, and a page line
// belongs to a block only when the block's text holds it.
#include "fuzz_check.h"
#include "search/result_blocks.h"

#include <string>
#include <vector>

using namespace vellumax;

namespace {

// Fields are separated by 0x01: the page line first, then title, title
// link, mu and text, block after block.
std::vector<std::string> fieldsOf(std::string_view bytes)
{
    std::vector<std::string> fields(1);
    for (const char c : bytes) {
        if (c == '\x01')
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::vector<std::string> fields = fieldsOf(fuzz::bytesOf(data, size));
    std::vector<PageBlock> page;
    for (size_t i = 1; i + 3 < fields.size(); i += 4)
        page.push_back({fields[i], fields[i + 1], fields[i + 2], fields[i + 3]});

    const std::vector<ResultBlock> blocks = resultBlocks(page, "www.baidu.com");
    FUZZ_CHECK(blocks.size() == page.size());
    for (const ResultBlock& block : blocks) {
        FUZZ_CHECK(block.title.size() <= kResultTitleBytes);
        FUZZ_CHECK(foldedTitle(block.title) == block.title);
        for (const char c : block.title)
            FUZZ_CHECK(c != '\r' && c != '\n' && c != '\t' && c != '\0');
        FUZZ_CHECK(block.title.empty() || (block.title.front() != ' ' && block.title.back() != ' '));
        if (!block.landing.empty()) {
            const std::optional<SiteAddress> site = visitableSite(block.landing, "www.baidu.com");
            FUZZ_CHECK(site && site->url == block.landing);
        }
    }

    // The line without the blanks and line ends around it.
    std::string_view line = fields[0];
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    while (!line.empty() && (line.back() == ' ' || line.back() == '\t' || line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    const ResultBlock* holder = blockHolding(blocks, fields[0]);
    FUZZ_CHECK(!holder || (!line.empty() && holder->text.find(line) != std::string::npos));
    for (const ResultBlock& block : blocks) {
        if (&block == holder)
            break;
        // The first block that holds the line is the one, and one that
        // holds it is found.
        FUZZ_CHECK(line.empty() || block.text.find(line) == std::string::npos);
    }
    return 0;
}
