// Keyword import: the count and the list come from different line rules and
// fail at different points.
#include "files/keyword_import.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace vellumax {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

TEST(KeywordImport, CountAndListOfEachKindOfFile)
{
    struct Case {
        const char* name;
        std::string bytes;
        int32_t count;
        Lines list;
    };
    const Case cases[] = {
        {"crlf", "a\r\nb\r\nc\r\n", 3, {"a", "b", "c"}},
        {"no final break", "a\r\nb", 2, {"a", "b"}},
        {"blank inside, kept untrimmed", " a \r\n\r\nb\n", 3, {" a ", "", "b"}},
        {"lone CR", "a\rb\rc\r", 1, {"a", "b", "c"}},
        {"LF CR", "a\n\rb\n", 2, {"a", "", "b"}},
        {"Ctrl-Z at a line start", "a\r\n\x1A" "b\r\nc\r\n", 1, {"a", "\x1A" "b", "c"}},
        {"NUL", "a\r\nb\0c\r\nd\r\n"s, 3, {"a", "b"}},
        {"empty", "", 0, {}},
    };
    test::TempDir dir;
    const std::string path = dir.file("keywords.txt");
    for (const Case& c : cases) {
        test::writeBytes(path, c.bytes);
        EXPECT_EQ(countKeywordLines(path), c.count) << c.name;
        EXPECT_EQ(loadKeywordList(path), c.list) << c.name;
    }
}

TEST(KeywordImport, MissingFileFailsEachStepWithItsOwnMessage)
{
    test::TempDir dir;
    const std::string path = dir.file("缺少.txt");
    try {
        countKeywordLines(path);
        ADD_FAILURE() << "counted a missing file";
    } catch (const FileError& e) {
        EXPECT_EQ(std::string(e.what()), "File not found");
    }
    try {
        loadKeywordList(path);
        ADD_FAILURE() << "loaded a missing file";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot open file " + gbk(path));
    }
}

TEST(KeywordImport, UnreadableFile)
{
    VELLUMAX_SKIP_UNLESS_ROOT();
    test::TempDir dir;
    const std::string path = dir.file("keywords.txt");
    test::writeBytes(path, "a\r\n");
    ::chmod(path.c_str(), 0600);
    const std::string report = test::runAsNobody([&] {
        std::string r;
        try {
            countKeywordLines(path);
        } catch (const Error& e) {
            r += e.what();
        }
        r += " | ";
        try {
            loadKeywordList(path);
        } catch (const Error& e) {
            r += e.what();
        }
        return r;
    });
    EXPECT_EQ(report, "File access denied | Cannot open file " + path);
}

} // namespace
} // namespace vellumax
