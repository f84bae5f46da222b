// A page text read in blocks gives the lines of the whole text.
#include "search/page_analysis.h"
#include "search/page_blocks.h"
#include "support/test_files.h"
#include "text/error.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <unistd.h>

namespace vellumax {
namespace {

using namespace std::string_literals;

// The lines of `text` read from a file in blocks of `blockSize`, each piece
// split on its own.
std::vector<std::string> linesInBlocks(const std::string& text, size_t blockSize, std::optional<size_t> size)
{
    test::TempDir dir;
    const std::string path = dir.file("page.txt");
    test::writeBytes(path, text);
    const int fd = ::open(path.c_str(), O_RDONLY);
    std::vector<std::string> lines;
    try {
        readPageBlocks(fd, size, blockSize, [&](std::string_view piece) {
            EXPECT_FALSE(piece.empty());
            for (const std::string_view line : pageLines(piece))
                lines.emplace_back(line);
        });
    } catch (...) {
        ::close(fd);
        throw;
    }
    ::close(fd);
    return lines;
}

std::vector<std::string> wholeLines(const std::string& text)
{
    const PageLines lines = pageLines(text);
    return {lines.begin(), lines.end()};
}

TEST(PageBlocks, GiveTheLinesOfTheWholeText)
{
    const std::vector<std::string> texts = {
        "", "a", "a\r\n", "\r\n\r\n", "ab\r\ncd\r\nef", "a\rb\nc\r\n\r\r\n\n\r", "x\r", "\r\n" + std::string(20, 'y'),
        std::string(30, 'z') + "\r\n1", "a\r\nb\0c\r\nd"s, "\0\r\n"s, "ab\r\0\ncd"s, std::string(5000, 'q') + "\r\nw",
    };
    for (const std::string& text : texts)
        for (const size_t block : {1u, 2u, 3u, 7u, 64u, 1u << 16})
            EXPECT_EQ(linesInBlocks(text, block, text.size()), wholeLines(text)) << text.size() << " " << block;

    // CR LF pairs cut by every block size, random texts of few bytes.
    std::mt19937 random(16);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        for (size_t i = random() % 60; i > 0; --i)
            text += "\r\nab\0"[random() % (round % 10 == 0 ? 5 : 4)];
        const size_t block = 1 + random() % 9;
        ASSERT_EQ(linesInBlocks(text, block, std::nullopt), wholeLines(text)) << round;
    }
}

TEST(PageBlocks, FileShorterThanItsSizeIsAReadError)
{
    EXPECT_THROW(linesInBlocks("a\r\nb", 2, 10), Error);
    // A file that grew after its size was taken is read to that size.
    EXPECT_EQ(linesInBlocks("a\r\nbc\r\nd", 2, 5), (std::vector<std::string>{"a", "bc"}));
}

} // namespace
} // namespace vellumax
