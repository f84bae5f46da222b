#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

TEST(GbkCodec, ProgramTextsRoundTrip)
{
    const char* texts[] = {"『朔禾传真搜索』 V2.5", "确认退出朔禾传真搜索吗?", "搜索断点位置超过关键字文件行数！",
                           "文件合并整理完毕！共计：", "您还没有连接到网上！", "已经保存当前传真号码搜索进程！",
                           "搜索间隔[秒]：", "显示主程序(&S)", "退 出(&Exit)", "传真:", "FAX:", "ＦＡＸ"};
    for (const char* text : texts) {
        const std::string bytes = gbkFromUtf8(text);
        EXPECT_EQ(utf8FromGbk(bytes), text);
        EXPECT_EQ(gbkFromUtf16(utf16FromGbk(bytes)), bytes);
    }
}

TEST(GbkCodec, KnownBytes)
{
    EXPECT_EQ(gbk("传真"), "\xB4\xAB\xD5\xE6");
    EXPECT_EQ(gbk("上海 传真"), "\xC9\xCF\xBA\xA3 \xB4\xAB\xD5\xE6");
    EXPECT_EQ(gbk("傾"), "\x83\x41");
    EXPECT_EQ(gbk("　"), "\xA1\xA1"); // full-width blank
    EXPECT_EQ(gbk("abc 123"), "abc 123");
    EXPECT_EQ(gbk(""), "");
}

TEST(GbkCodec, CharactersWithoutGbkFormBecomeQuestionMarks)
{
    EXPECT_EQ(gbk("a😀b"), "a?b");
    EXPECT_EQ(gbk("한국"), "??");
    EXPECT_EQ(gbkFromUtf16(u"x\xD800y"), "x?y"); // a lone surrogate
    // Zero-width characters are not dropped: inside a page's number they
    // must still end the number.
    EXPECT_EQ(gbkFromUtf16(u"0512\u200B-1234\uFEFF5678\u00AD"), "0512?-1234?5678?");
}

TEST(GbkCodec, InvalidBytesDecodeWithoutFailing)
{
    const std::string bad = "a\xFF\xB4";
    const std::u16string decoded = utf16FromGbk(bad);
    ASSERT_FALSE(decoded.empty());
    EXPECT_EQ(decoded.front(), u'a');
    EXPECT_NE(decoded.find(u'\xFFFD'), std::u16string::npos);
    EXPECT_EQ(utf8FromGbk(std::string("\0x", 2)), std::string("\0x", 2));
}

} // namespace
} // namespace vellumax
