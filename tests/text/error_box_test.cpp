#include "text/error_box.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

TEST(ErrorBoxText, AsciiEndings)
{
    EXPECT_EQ(errorBoxText("File not found"), "File not found.");
    EXPECT_EQ(errorBoxText("I/O error 32"), "I/O error 32.");
    EXPECT_EQ(errorBoxText("'' is not a valid integer value"), "'' is not a valid integer value.");
    EXPECT_EQ(errorBoxText("Done."), "Done.");
    EXPECT_EQ(errorBoxText("(x)"), "(x)");
    EXPECT_EQ(errorBoxText("stop!"), "stop!");
    EXPECT_EQ(errorBoxText("a-"), "a-");
    EXPECT_EQ(errorBoxText("a/"), "a/."); // "/" sorts just above "."
    EXPECT_EQ(errorBoxText(""), "");
}

TEST(ErrorBoxText, DoubleByteEndingsCountTheirFirstByte)
{
    EXPECT_EQ(errorBoxText(gbk("请先导入关键字列表文件")), gbk("请先导入关键字列表文件."));
    // The full-width exclamation mark is A3 A1: its first byte is above ".".
    EXPECT_EQ(errorBoxText(gbk("搜索已经结束！")), gbk("搜索已经结束！."));
    // 0x81 0x40 is one character: its first byte decides, not the "@".
    EXPECT_EQ(errorBoxText("ab\x81\x40"), "ab\x81\x40.");
    // Walking from the start: "\xB4" is the second byte of the first
    // character here, so the last character is the single "-".
    EXPECT_EQ(errorBoxText("\xB4\xB4-"), "\xB4\xB4-");
    // A lead byte with nothing after it stands alone.
    EXPECT_EQ(errorBoxText("a\xB4"), "a\xB4.");
}

} // namespace
} // namespace vellumax
