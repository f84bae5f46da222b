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
        // never read as a blank or a control character.
        if (c >= 0x81 && i + 1 < gbkTitle.size())
            folded += gbkTitle[++i];
    }
    return cutGbk(folded, maxBytes);
}

} // namespace vellumax
