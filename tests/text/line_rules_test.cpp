// The two ways the program takes a text apart: the line reader (settings
// file, keyword count) and the text splitter (keyword list, merged file).
// They disagree on purpose; each case states what both give.
#include "support/test_files.h"
#include "text/error.h"
#include "text/line_reader.h"
#include "text/text_splitter.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using Lines = std::vector<std::string>;

Lines readAllLines(const std::string& path)
{
    LineReader reader(path);
    Lines lines;
    while (!reader.atEnd())
        lines.push_back(reader.readLine());
    return lines;
}

struct LineCase {
    const char* name;
    std::string bytes;
    Lines byReader;
    Lines bySplitter;
};

void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class LineRules : public ::testing::TestWithParam<LineCase> {};

TEST_P(LineRules, ReaderAndSplitterGiveTheirOwnLines)
{
    const LineCase& c = GetParam();
    test::TempDir dir;
    const std::string path = dir.file("lines.txt");
    test::writeBytes(path, c.bytes);
    EXPECT_EQ(readAllLines(path), c.byReader);
    EXPECT_EQ(splitText(c.bytes), c.bySplitter);
    EXPECT_EQ(loadTextLines(path), c.bySplitter);
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    Text, LineRules,
    ::testing::Values(
        LineCase{"Empty", "", {}, {}},
        LineCase{"CrLfEnds", "a\r\nb\r\nc\r\n", {"a", "b", "c"}, {"a", "b", "c"}},
        LineCase{"LastLineWithoutBreak", "a\r\nb", {"a", "b"}, {"a", "b"}},
        LineCase{"UnixEnds", "a\nb\n", {"a", "b"}, {"a", "b"}},
        LineCase{"BlankLineInside", "a\r\n\r\nb\r\n", {"a", "", "b"}, {"a", "", "b"}},
        LineCase{"OnlyABreak", "\r\n", {""}, {""}},
        LineCase{"LoneCrEnds", "a\rb\rc", {"abc"}, {"a", "b", "c"}},
        LineCase{"LoneCrInside", "ab\rc\r\nd\r\n", {"abc", "d"}, {"ab", "c", "d"}},
        LineCase{"LfCr", "a\n\rb\n", {"a", "b"}, {"a", "", "b"}},
        LineCase{"CrCrLf", "a\r\r\nb", {"a", "b"}, {"a", "", "b"}},
        LineCase{"CtrlZAtLineStart", "a\r\n\x1a" "b\r\nc\r\n", {"a"}, {"a", "\x1a" "b", "c"}},
        LineCase{"CtrlZFirst", "\x1a" "a\r\n", {}, {"\x1a" "a"}},
        LineCase{"CtrlZInsideLine", "a\x1a" "b\r\nc", {"a\x1a" "b", "c"}, {"a\x1a" "b", "c"}},
        LineCase{"NulEndsSplitterOnly", "ab\0cd\r\nef\r\n"s, {"ab\0cd"s, "ef"}, {"ab"}},
        LineCase{"NulFirst", "\0ab\r\n"s, {"\0ab"s}, {}},
        LineCase{"GbkBytes", "\xb4\xab\xd5\xe6\r\n\xc9\xcf\xba\xa3", {"\xb4\xab\xd5\xe6", "\xc9\xcf\xba\xa3"},
                 {"\xb4\xab\xd5\xe6", "\xc9\xcf\xba\xa3"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LineReader, ReadingPastTheEndYieldsEmptyLines)
{
    test::TempDir dir;
    const std::string path = dir.file("one.txt");
    test::writeBytes(path, "only\r\n");
    LineReader reader(path);
    EXPECT_EQ(reader.readLine(), "only");
    EXPECT_TRUE(reader.atEnd());
    EXPECT_EQ(reader.readLine(), "");
    EXPECT_EQ(reader.readLine(), "");
}

TEST(LineReader, ReadingPastACtrlZYieldsEmptyLines)
{
    test::TempDir dir;
    const std::string path = dir.file("z.txt");
    test::writeBytes(path, "a\n\x1azzz\n");
    LineReader reader(path);
    EXPECT_EQ(reader.readLine(), "a");
    EXPECT_EQ(reader.readLine(), "");
    EXPECT_TRUE(reader.atEnd());
}

TEST(LineReader, LinesLongerThanItsBufferComeWhole)
{
    test::TempDir dir;
    const std::string path = dir.file("long.txt");
    const std::string longLine(200'000, 'x');
    test::writeBytes(path, longLine + "\r\n" + longLine);
    EXPECT_EQ(readAllLines(path), (Lines{longLine, longLine}));
}

TEST(LineReader, CrLfSplitAcrossBufferBoundaryIsOneBreak)
{
    test::TempDir dir;
    const std::string path = dir.file("edge.txt");
    std::string first(64 * 1024 - 1, 'a'); // the CR is the buffer's last byte
    test::writeBytes(path, first + "\r\nb");
    EXPECT_EQ(readAllLines(path), (Lines{first, "b"}));
}

TEST(TextSplitter, BreakAtTheVeryEndStartsNoLineButOthersDo)
{
    EXPECT_EQ(splitText("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitText("\n"), (Lines{""}));
    EXPECT_EQ(splitText("\n\n"), (Lines{"", ""}));
    EXPECT_EQ(splitText("\r\r"), (Lines{"", ""}));
}

TEST(TextSplitter, WholeFileLoadFailsWithTheFileName)
{
    test::TempDir dir;
    const std::string missing = dir.file("missing.txt");
    try {
        loadTextLines(missing);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + missing);
    }
    EXPECT_THROW(loadTextLines(dir.path()), Error);
}

} // namespace
} // namespace vellumax
