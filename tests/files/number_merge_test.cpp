// The number merge: how the files are joined, which line of an equal group
// stays, the order, and what a failing input or output leaves behind.
#include "files/distinct_lines.h"
#include "files/line_collation.h"
#include "files/number_merge.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "text/text_splitter.h"

#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>

namespace vellumax {
namespace {

using namespace std::string_literals;

// Sets the collation locale for one test and puts the old one back.
class LocaleEnvironment {
public:
    explicit LocaleEnvironment(const char* lcAll)
    {
        for (const char* name : kNames) {
            const char* value = std::getenv(name);
            saved_.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
            ::unsetenv(name);
        }
        if (lcAll)
            ::setenv("LC_ALL", lcAll, 1);
    }
    ~LocaleEnvironment()
    {
        for (const auto& [name, value] : saved_) {
            if (value)
                ::setenv(name, value->c_str(), 1);
            else
                ::unsetenv(name);
        }
    }

private:
    static constexpr const char* kNames[] = {"LC_ALL", "LC_COLLATE", "LANG"};
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

class NumberMerge : public ::testing::Test {
protected:
    // Writes each text to its own input file and merges them into "out.txt".
    std::string merge(const std::vector<std::string>& texts, size_t* count = nullptr)
    {
        std::vector<std::string> inputs;
        for (size_t i = 0; i < texts.size(); ++i) {
            inputs.push_back(dir.file("in" + std::to_string(i) + ".txt"));
            test::writeBytes(inputs.back(), texts[i]);
        }
        const MergeOutcome outcome = mergeNumberFiles(inputs, out());
        EXPECT_FALSE(outcome.joinFailure) << *outcome.joinFailure;
        if (count)
            *count = outcome.count;
        return test::readBytes(out());
    }
    std::string out() const { return dir.file("out.txt"); }

    LocaleEnvironment locale{"C"};
    test::TempDir dir;
};

TEST_F(NumberMerge, DistinctLinesSortedWithTheCount)
{
    size_t count = 0;
    EXPECT_EQ(merge({"3\r\n1\r\n", "2\r\n3\r\n"}, &count), "1\r\n2\r\n3\r\n");
    EXPECT_EQ(count, 3u);
    EXPECT_EQ(mergeStatusText(count), gbk("文件合并整理完毕！共计：3"));

    EXPECT_EQ(merge({"0512-3\n0512-1\n0512-3\n0512-2"}), "0512-1\r\n0512-2\r\n0512-3\r\n");
    EXPECT_EQ(merge({""}, &count), "");
    EXPECT_EQ(count, 0u);
}

TEST_F(NumberMerge, FilesAreJoinedByteForByte)
{
    // A last line without a break runs into the next file's first line.
    EXPECT_EQ(merge({"9\r\n111", "222\r\n5\r\n"}), "111222\r\n5\r\n9\r\n");
    // A file ending in CR and the next beginning with LF make one break.
    EXPECT_EQ(merge({"b\r", "\na\r\n"}), "a\r\nb\r\n");
    // Lone CR and LF CR split as the text splitter does; a NUL ends the text,
    // the files after it included.
    EXPECT_EQ(merge({"c\rb\n\ra\n"}), "\r\na\r\nb\r\nc\r\n");
    EXPECT_EQ(merge({"b\r\na\0x\r\n"s, "c\r\n"}), "a\r\nb\r\n");
}

TEST_F(NumberMerge, BlankLinesBecomeOneEntryThatSortsFirst)
{
    size_t count = 0;
    EXPECT_EQ(merge({"2\r\n\r\n", "1\r\n\r\n\r\n"}, &count), "\r\n1\r\n2\r\n");
    EXPECT_EQ(count, 3u);
}

TEST_F(NumberMerge, CaseIsIgnoredButWidthAndSignsCount)
{
    EXPECT_EQ(merge({"Fax 1\r\nab-C\r\n", "FAX 1\r\nAB-c\r\nfax 1\r\n"}), "ab-C\r\nFax 1\r\n");
    // Full-width letters, and a hyphen against none, are other lines.
    const std::string wide = gbk("ａｂ");
    EXPECT_EQ(splitText(merge({"AB\r\n" + wide + "\r\nab\r\na-b\r\n"})), (std::vector<std::string>{"a-b", "AB", wide}));
    // Greek and Cyrillic letters, which GBK has in both cases, fold too.
    const std::string upper = gbk("ΑΒЖ"), lower = gbk("αβж");
    EXPECT_EQ(merge({upper + "\r\n", lower + "\r\n"}), upper + "\r\n");
}

TEST_F(NumberMerge, UsesTheUsersLocale)
{
    // "北" (bei) before "上" (shang) in Chinese order; code point order puts
    // them the other way round.
    const std::string north = gbk("北京"), up = gbk("上海");
    EXPECT_EQ(merge({north + "\r\n" + up + "\r\n"}), up + "\r\n" + north + "\r\n");
    LocaleEnvironment chinese("zh_CN.UTF-8");
    EXPECT_EQ(merge({up + "\r\n" + north + "\r\n"}), north + "\r\n" + up + "\r\n");
}

TEST(CollationLocale, TakenFromTheEnvironmentAsTheCLibraryDoes)
{
    {
        LocaleEnvironment none(nullptr);
        EXPECT_EQ(userCollationLocale(), "");
        ::setenv("LANG", "de_DE.UTF-8", 1);
        EXPECT_EQ(userCollationLocale(), "de_DE");
        ::setenv("LC_COLLATE", "sv_SE@euro", 1);
        EXPECT_EQ(userCollationLocale(), "sv_SE");
        ::setenv("LC_ALL", "POSIX", 1);
        EXPECT_EQ(userCollationLocale(), "");
    }
    LocaleEnvironment chinese("zh_CN.GB18030");
    EXPECT_EQ(userCollationLocale(), "zh_CN");
}

// The merge as first written: every line looked up by binary search in a
// list kept sorted, and inserted where it belongs unless an equal entry is
// already there. Quadratic, but the outcome to match.
std::vector<std::string> sortedInsertion(const std::string& text, LineCollation& collation)
{
    std::vector<std::string> list;
    forEachTextLine(text, [&](std::string_view line) {
        auto at = std::lower_bound(list.begin(), list.end(), line, [&](const std::string& entry, std::string_view l) {
            return collation.compare(entry, l) < 0;
        });
        if (at == list.end() || collation.compare(*at, line) != 0)
            list.emplace(at, line);
    });
    return list;
}

TEST_F(NumberMerge, SameOutcomeAsSortedInsertion)
{
    std::mt19937 random(20240605);
    const std::vector<std::string> pieces = {"0", "1", "2", "9", "-", "a", "A", "x", "X", " ", "(", ")",
                                             gbk("ａ"), gbk("Ａ"), gbk("传"), gbk("真"), gbk("α"), gbk("Α"), "\xFF"};
    LineCollation collation("");
    for (int round = 0; round < 20; ++round) {
        std::vector<std::string> files(1 + random() % 4);
        std::string joined;
        for (std::string& file : files) {
            const size_t lines = random() % 300;
            for (size_t i = 0; i < lines; ++i) {
                const size_t length = random() % 14;
                for (size_t j = 0; j < length; ++j)
                    file += pieces[random() % pieces.size()];
                file += random() % 10 == 0 ? "\n" : "\r\n";
            }
            if (random() % 3 == 0 && !file.empty())
                file.resize(file.size() - 2); // no final break
            joined += file;
        }
        std::string expected;
        for (const std::string& line : sortedInsertion(joined, collation))
            expected += line + "\r\n";
        ASSERT_EQ(merge(files), expected) << "round " << round;
    }
}

TEST(DistinctLines, SameOutcomeWhateverTheNumberOfParts)
{
    // Equal lines of different plain forms ("α" and "Α") land in different
    // parts as often as not.
    std::mt19937 random(16);
    const std::vector<std::string> pieces = {"\r", "\n", "\r\n", "1", "2", "a", "A", "-", gbk("传"), gbk("Α"), gbk("α")};
    LineCollation collation("");
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (size_t i = random() % 40; i > 0; --i)
            text += pieces[random() % pieces.size()];
        std::vector<std::string> expected = sortedInsertion(text, collation);
        for (size_t parts = 1; parts <= 5; ++parts) {
            std::vector<std::string> lines;
            const size_t count = forEachDistinctLine(text, "", parts, [&](std::string_view l) { lines.emplace_back(l); });
            ASSERT_EQ(lines, expected) << "round " << round << ", " << parts << " parts";
            ASSERT_EQ(count, expected.size());
        }
    }
}

TEST_F(NumberMerge, OutputMayBeOneOfTheInputs)
{
    const std::string a = dir.file("a.txt"), b = dir.file("b.txt");
    test::writeBytes(a, "5\r\n4\r\n");
    test::writeBytes(b, "4\r\n3\r\n");
    const MergeOutcome outcome = mergeNumberFiles({a, b}, b);
    EXPECT_FALSE(outcome.joinFailure);
    EXPECT_EQ(outcome.count, 3u);
    EXPECT_EQ(test::readBytes(b), "3\r\n4\r\n5\r\n");
}

TEST_F(NumberMerge, FailingInputStopsTheJoinButWhatWasJoinedIsWritten)
{
    const std::string a = dir.file("a.txt"), c = dir.file("c.txt"), missing = dir.file("缺.txt");
    test::writeBytes(a, "2\r\n1\r\n");
    test::writeBytes(c, "0\r\n");
    MergeOutcome outcome = mergeNumberFiles({a, missing, c}, out());
    EXPECT_EQ(outcome.joinFailure, "Cannot open file " + gbk(missing));
    EXPECT_EQ(outcome.count, 2u);
    EXPECT_EQ(test::readBytes(out()), "1\r\n2\r\n");

    outcome = mergeNumberFiles({a, dir.path()}, out());
    EXPECT_EQ(outcome.joinFailure, "Cannot open file " + dir.path());

    VELLUMAX_SKIP_UNLESS_ROOT();
    const std::string locked = dir.file("locked.txt");
    test::writeBytes(locked, "9\r\n");
    ::chmod(locked.c_str(), 0600);
    const std::string theirs = dir.file("theirs.txt");
    EXPECT_EQ(test::runAsNobody([&] {
                  const MergeOutcome o = mergeNumberFiles({c, locked, a}, theirs);
                  return o.joinFailure.value_or("joined") + " " + std::to_string(o.count);
              }),
              "Cannot open file " + locked + " 1");
    EXPECT_EQ(test::readBytes(theirs), "0\r\n");
}

TEST_F(NumberMerge, OutputThatCannotBeWrittenKeepsThePreviousFile)
{
    const std::string input = dir.file("in.txt");
    std::string numbers;
    for (int i = 0; i < 5000; ++i)
        numbers += "0512" + std::to_string(20'000'000 + i) + "\r\n";
    test::writeBytes(input, numbers);
    const std::string previous = "old\r\n";
    test::writeBytes(out(), previous);
    const auto attempt = [&](const std::string& output) {
        return [&input, output] {
            try {
                mergeNumberFiles({input}, output);
                return std::string("written");
            } catch (const Error& e) {
                return std::string(e.what());
            }
        };
    };

    EXPECT_EQ(test::runWithFileSizeLimit(10'000, attempt(out())), std::string("Stream write error"));
    EXPECT_EQ(test::readBytes(out()), previous);
    EXPECT_EQ(attempt(dir.file("no/such/folder.txt"))(), "Cannot create file " + dir.file("no/such/folder.txt"));
    EXPECT_EQ(attempt("/dev/full")(), std::string("Stream write error"));

    VELLUMAX_SKIP_UNLESS_ROOT();
    ::chmod(dir.path().c_str(), 0755);
    ::chmod(out().c_str(), 0644);
    EXPECT_EQ(test::runAsNobody(attempt(out())), "Cannot create file " + out());
    EXPECT_EQ(test::readBytes(out()), previous);
}

} // namespace
} // namespace vellumax
