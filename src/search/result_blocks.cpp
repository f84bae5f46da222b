#include "search/result_blocks.h"

#include "text/bytes.h"
#include "text/gbk_codec.h"

#include <algorithm>

namespace vellumax {

std::vector<ResultBlock> resultBlocks(const std::vector<PageBlock>& blocks, std::string_view engineHost,
                                      LoopbackSites loopback)
{
    std::vector<ResultBlock> results;
    results.reserve(blocks.size());
    for (const PageBlock& block : blocks)
        results.push_back(
            {foldedTitle(block.title), landingAddress(block.mu, block.titleHref, engineHost, loopback), block.text});
    return results;
}

const ResultBlock* blockHolding(const std::vector<ResultBlock>& blocks, std::string_view line)
{
    line = trimmedBlanks(line);
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line = trimmedBlanks(line.substr(0, line.size() - 1));
    if (line.empty())
        return nullptr;
    for (const ResultBlock& block : blocks) {
        if (block.text.find(line) != std::string::npos)
            return &block;
    }
    return nullptr;
}

std::string foldedTitle(std::string_view gbkTitle, size_t maxBytes)
{
    std::string folded;
    folded.reserve(std::min(gbkTitle.size(), maxBytes + 1));
    bool blank = false;
    for (size_t i = 0; i < gbkTitle.size() && folded.size() <= maxBytes; ++i) {
        const unsigned char c = static_cast<unsigned char>(gbkTitle[i]);
        if (c <= ' ' || c == 0x7F) {
            blank = !folded.empty();
            continue;
        }
        if (blank)
            folded += ' ';
        blank = false;
        folded += static_cast<char>(c);
        // A double-byte character is taken whole, so that its trail byte is
        // never read as a blank; a lead byte without one stands alone.
        const unsigned char next = i + 1 < gbkTitle.size() ? static_cast<unsigned char>(gbkTitle[i + 1]) : 0;
        if (c >= 0x81 && c <= 0xFE && next >= 0x40 && next <= 0xFE && next != 0x7F)
            folded += gbkTitle[++i];
    }
    // The cut may leave the blank before the character it dropped.
    folded = cutGbk(folded, maxBytes);
    if (!folded.empty() && folded.back() == ' ')
        folded.pop_back();
    return folded;
}

} // namespace vellumax
