// vellumax-cli classify and filter, end to end, over the phone-number
// library's real data.
#include "cli_runner.h"
#include "support/test_files.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using test::runCli;

// A result file as the window saves it, with a blank line and junk that
// needs quoting in a CSV field.
const std::string kNumbers = "0512-87654321\r\n"
                             "013912345678\r\n"
                             "\r\n"
                             "0000-0000000\r\n"
                             "0512-12345678-801\r\n"
                             "010-12345678\r\n"
                             "0,0 \"fax\"\r\n"
                             "018612345678\r\n";

const char kTableUtf8[] = "号码,国际格式,有效,类型,地区\r\n"
                          "0512-87654321,+86 512 8765 4321,是,固定电话,江苏省苏州市\r\n"
                          "013912345678,+86 139 1234 5678,是,手机,江苏省常州市\r\n"
                          "0000-0000000,+86 0000000000,否,未知,\r\n"
                          "0512-12345678-801,+86 512 1234 5678 ext. 801,是,固定电话,江苏省苏州市\r\n"
                          "010-12345678,+86 10 1234 5678,是,固定电话,北京市\r\n"
                          "\"0,0 \"\"fax\"\"\",,否,未知,\r\n"
                          "018612345678,+86 186 1234 5678,是,手机,北京市\r\n";

TEST(ClassifyCli, TableToStdoutInGbkOrToAFileInUtf8)
{
    test::TempDir dir;
    const std::string numbers = dir.file("numbers.txt");
    test::writeBytes(numbers, kNumbers);

    const test::CliResult gbkTable = runCli({"classify", numbers});
    EXPECT_EQ(gbkTable.exitCode, 0) << gbkTable.err;
    EXPECT_EQ(gbkTable.out, gbk(kTableUtf8));

    // Two files, one table; the count goes to stdout.
    const std::string csv = dir.file("号码.csv");
    const test::CliResult utf8Table = runCli({"classify", "--utf8", "--out", csv, numbers, numbers});
    EXPECT_EQ(utf8Table.exitCode, 0) << utf8Table.err;
    EXPECT_EQ(utf8Table.out, "号码分类完毕！共计：14\n");
    const std::string rows = std::string(kTableUtf8).substr(std::string(kTableUtf8).find("\r\n") + 2);
    EXPECT_EQ(test::readBytes(csv), "\xEF\xBB\xBF" + std::string(kTableUtf8) + rows);
}

TEST(FilterCli, OptionsCombined)
{
    test::TempDir dir;
    const std::string numbers = dir.file("numbers.txt"), out = dir.file("out.txt");
    test::writeBytes(numbers, kNumbers);

    struct Case {
        std::vector<std::string> options;
        std::string kept;
        size_t keptCount;
    };
    const std::vector<Case> cases = {
        {{}, "0512-87654321\r\n013912345678\r\n0000-0000000\r\n0512-12345678-801\r\n010-12345678\r\n"
             "0,0 \"fax\"\r\n018612345678\r\n", 7},
        {{"--valid"}, "0512-87654321\r\n013912345678\r\n0512-12345678-801\r\n010-12345678\r\n018612345678\r\n", 5},
        {{"--kind", "fixed"}, "0512-87654321\r\n0512-12345678-801\r\n010-12345678\r\n", 3},
        {{"--kind", "mobile"}, "013912345678\r\n018612345678\r\n", 2},
        {{"--region", "苏州"}, "0512-87654321\r\n0512-12345678-801\r\n", 2},
        {{"--region", "江苏", "--kind", "mobile"}, "013912345678\r\n", 1},
        {{"--region", "常州", "--region", "北京"}, "013912345678\r\n010-12345678\r\n018612345678\r\n", 3},
        {{"--valid", "--kind", "fixed", "--region", "北京", "--region", "苏州"},
         "0512-87654321\r\n0512-12345678-801\r\n010-12345678\r\n", 3},
        {{"--region", "广东"}, "", 0},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"filter"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        args.push_back(out);
        args.push_back(numbers);
        const test::CliResult r = runCli(args);
        SCOPED_TRACE(testing::PrintToString(c.options));
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(r.out, "号码筛选完毕！读取：7，保留：" + std::to_string(c.keptCount) + "\n");
        EXPECT_EQ(test::readBytes(out), c.kept);
    }
}

TEST(NumberCliFailures, UnreadableInputOrUnwritableOutputDamagesNothing)
{
    test::TempDir dir;
    const std::string numbers = dir.file("numbers.txt"), missing = dir.file("缺少.txt");
    const std::string earlier = dir.file("earlier.txt");
    test::writeBytes(numbers, kNumbers);
    test::writeBytes(earlier, "earlier\r\n");

    // An input that cannot be read, after one that can: the earlier file
    // stays, and nothing reaches stdout.
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"classify", "--out", earlier, numbers, missing},
          {"filter", earlier, numbers, missing}, {"classify", numbers, missing}}) {
        const test::CliResult r = runCli(args);
        SCOPED_TRACE(args[0]);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "vellumax-cli: Cannot open file " + missing + "\n");
        EXPECT_EQ(test::readBytes(earlier), "earlier\r\n");
    }

    // An output in a folder that does not exist, or on a full disk.
    const std::string nowhere = dir.file("无此目录/out.txt");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"classify", "--out", nowhere, numbers}, {"filter", nowhere, numbers}}) {
        const test::CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "vellumax-cli: Cannot create file " + nowhere + "\n");
    }
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"classify", "--out", "/dev/full", numbers}, {"filter", "/dev/full", numbers}}) {
        const test::CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_EQ(r.err, "vellumax-cli: Disk full\n");
    }
}

TEST(NumberCliFailures, WrongCallsShowTheUsage)
{
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"classify"}, {"classify", "--out"}, {"filter", "out.txt"},
          {"filter", "--kind", "fax", "out.txt", "in.txt"}, {"filter", "--region"}}) {
        const test::CliResult r = runCli(args);
        EXPECT_EQ(r.exitCode, 2) << args.size();
        EXPECT_NE(r.err.find("filter [--valid]"), std::string::npos);
    }
}

// A harvest's summary from its number tables: one in GBK, one in UTF-8
// without the page columns, and the three tables for a spreadsheet.
TEST(StatsCli, SummarisesTablesAndRefusesWhatIsNone)
{
    test::TempDir dir;
    const std::string header = "号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行";
    const std::string gbkTable = gbk(header +
                                     ",网页标题,网址\r\n"
                                     "0512-87654321,是,固定电话,江苏省苏州市,苏州传真,1,0,T,\"a,b\",甲,http://a.cn/\r\n"
                                     "\"=\"\"013912345678\"\"\",是,手机,江苏省常州市,苏州传真,1,10,T,l,,\r\n"
                                     "0000-0000000,否,未知,,'-fax list,2,0,T,l,,\r\n");
    const std::string older = "\xEF\xBB\xBF" + header + "\r\n010-12345678,是,固定电话,北京市,苏州传真,1,10,T,l\r\n";
    test::writeBytes(dir.file("a.csv"), gbkTable);
    test::writeBytes(dir.file("b.csv"), older);

    const test::CliResult r = runCli({"stats", "--csv", dir.file("s.csv"), dir.file("a.csv"), dir.file("b.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    for (const char* line : {"号码 4 个: 固定电话 2, 手机 1, 其他 0, 无效 1", "  江苏省  2  (常州市 1, 苏州市 1)",
                             "  北京市  1  (北京市 1)", "  1  3  3  1.00  苏州传真", "  2  1  1  1.00  -fax list"})
        EXPECT_NE(r.out.find(std::string(line) + "\n"), std::string::npos) << line << "\n" << r.out;
    EXPECT_EQ(utf8FromGbk(test::readBytes(dir.file("s.csv"))),
              "省份,城市,号码\r\n江苏省,常州市,1\r\n江苏省,苏州市,1\r\n北京市,北京市,1\r\n\r\n"
              "类型,号码\r\n固定电话,2\r\n手机,1\r\n其他,0\r\n无效,1\r\n\r\n"
              "关键字序号,关键字,号码,页数,每页号码\r\n1,苏州传真,3,3,1.00\r\n2,-fax list,1,1,1.00\r\n");

    test::writeBytes(dir.file("numbers.txt"), kNumbers);
    test::writeBytes(dir.file("cut.csv"), gbk(header + "\r\n0512-1,是,固定电话\r\n"));
    for (const auto& [file, says] : {std::pair<std::string, std::string>{"numbers.txt", "不是号码表"},
                                     {"cut.csv", "第 2 行格式不对"},
                                     {"missing.csv", "missing.csv"}}) {
        const test::CliResult wrong = runCli({"stats", dir.file(file)});
        EXPECT_EQ(wrong.exitCode, 1) << file;
        EXPECT_NE(wrong.err.find(says), std::string::npos) << file << ": " << wrong.err;
    }
}

// The number program, started by vellumax-cli for classify and filter, has
// those two commands and no other.
TEST(NumberProgram, TakesOnlyTheNumberCommands)
{
    const test::CliResult help = test::runProgram(VELLUMAX_NUMBERS, {"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("  classify ["), std::string::npos);
    EXPECT_NE(help.out.find("  filter ["), std::string::npos);
    for (const char* other : {"  plan ", "  merge ", "  search ["})
        EXPECT_EQ(help.out.find(other), std::string::npos) << other;

    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"search", "--out", "o.txt", "k.txt"}, {"merge", "o.txt", "i.txt"}, {"plan", "k.txt"}}) {
        const test::CliResult r = test::runProgram(VELLUMAX_NUMBERS, args);
        EXPECT_EQ(r.exitCode, 2) << args.front();
        EXPECT_TRUE(r.out.empty()) << args.front();
    }
}

} // namespace
} // namespace vellumax
