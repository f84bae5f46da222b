// plan, count, extract and pager: the rules of a search run, applied to
// keyword lists and saved page texts.
#include "cli/commands.h"

#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/page_blocks.h"
#include "search/query_builder.h"
#include "search/result_list.h"
#include "search/wide_pager.h"
#include "search/wide_reading.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"
#include "text/int_conversion.h"
#include "text/line_reader.h"
#include "text/text_splitter.h"
#include "text/unique_fd.h"
#include "text/whole_file.h"
#include "text/write_all.h"

#include <CLI/CLI.hpp>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace vellumax::cli {
namespace {

// A FILE argument of "-" stands for standard input.
constexpr std::string_view kStandardInput = "-";

void writeOut(std::string_view bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string readStandardInput()
{
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, static_cast<size_t>(n));
        else if (n == 0)
            return bytes;
        else if (errno != EINTR)
            throw Error(kStreamReadError);
    }
}

std::string readInput(const std::string& path)
{
    return path == kStandardInput ? readStandardInput() : readWholeFile(path);
}

// Standard input can be read only once, and the line reader wants a file:
// it is copied to a temporary file that goes away with this object.
class StandardInputCopy {
public:
    StandardInputCopy()
    {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/vellumax-cli-XXXXXX";
        const UniqueFd fd(::mkstemp(path_.data()));
        if (!fd)
            throwFileError(errno);
        // A constructor that throws gets no destructor: a copy that fails
        // half-way is removed here.
        try {
            copyStandardInput(fd.get());
        } catch (...) {
            ::unlink(path_.c_str());
            throw;
        }
    }
    ~StandardInputCopy() { ::unlink(path_.c_str()); }
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    const std::string& path() const { return path_; }

private:
    static void copyStandardInput(int fd)
    {
        writeAll(fd, readStandardInput());
    }

    std::string path_;
};

// Blocks of this size keep a big page text's lines in the cache while they
// are read.
constexpr size_t kPageBlock = 1 << 20;

// Hands the page text of a file (or of standard input) on in pieces of
// whole lines, as readInput would deliver it in one.
void readPage(const std::string& path, const std::function<void(std::string_view)>& piece)
{
    if (path == kStandardInput) {
        readPageBlocks(STDIN_FILENO, std::nullopt, kPageBlock, piece);
        return;
    }
    const WholeFile file(path);
    readPageBlocks(file.fd(), file.size(), kPageBlock, piece);
}

std::optional<std::string> markerFromArgument(std::string_view utf8)
{
    const std::string marker = gbk(utf8);
    if (marker.empty() || marker == kChineseFaxMarker || marker == kLatinFaxMarker)
        return marker;
    return std::nullopt;
}

int runPlan(const std::string& file)
{
    const std::vector<std::string> keywords = splitText(readInput(file));

    // One builder for the whole list: a keyword without a marker word keeps
    // the marker of the keyword before it.
    QueryBuilder builder;
    std::string line;
    for (const std::string& keyword : keywords) {
        const std::string queryBase = builder.PrepareKeyword(keyword);
        line = utf8FromGbk(builder.fieldMarker());
        line += '\t';
        line += PageUrl(queryBase, 0);
        line += '\n';
        writeOut(line);
    }
    return 0;
}

int runCount(const std::string& file)
{
    long readerCount = 0;
    size_t splitterCount = 0;
    {
        std::optional<StandardInputCopy> stdinCopy;
        if (file == kStandardInput)
            stdinCopy.emplace();
        const std::string& path = stdinCopy ? stdinCopy->path() : file;

        {
            LineReader reader(path);
            std::string line;
            while (!reader.atEnd()) {
                reader.readLine(line);
                ++readerCount;
            }
        }
        forEachTextLine(readWholeFile(path), [&](std::string_view) { ++splitterCount; });
    }
    std::printf("%ld\t%zu\n", readerCount, splitterCount);
    return 0;
}

int runExtract(const std::vector<std::string>& files, const std::string& marker, bool deduplicate, bool wide)
{
    // The pages go into one list, as the pages of one run do; nothing is
    // printed unless every page could be read. Without deduplication no list
    // is needed: every number is printed.
    ResultList results;
    std::string output;
    const FoundNumberCallback print = [&](std::string& number, std::string_view) {
        if (deduplicate) {
            if (results.contains(number))
                return;
            results.append(number);
        }
        output += number;
        output += "\r\n";
    };
    // Wide reading carries a label that ends a line over to the next one,
    // across the pieces of a page but not from one page to the next.
    WideFaxReader wideReader;
    const auto extractPiece = [&](std::string_view piece) {
        if (!wide) {
            forEachFaxNumberInText(piece, marker, print);
            return;
        }
        forEachWideFaxNumberInText(piece, wideReader, print);
    };
    for (const std::string& file : files) {
        wideReader.newPage();
        readPage(file, extractPiece);
    }
    writeOut(output);
    return 0;
}

int runPager(int32_t offset, const std::string& file, bool wide)
{
    const std::string text = readInput(file);
    const PageAnalysis page = analysePage(text, offset);
    const bool more = wide ? wideOffersNextPage(page.lines, nullptr, offset) : page.morePages;
    writeOut(more ? "1\n" : "0\n");
    return 0;
}

// The page offset of the pager command: a whole number (as the window reads
// numbers), not negative.
CLI::Validator pageOffsetCheck()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::optional<int32_t> value = tryStrToInt(text);
            return value && *value >= 0 ? std::string() : std::string("offset");
        },
        "", "offset");
}

CLI::Validator markerCheck()
{
    return CLI::Validator(
        [](std::string& text) -> std::string {
            const std::optional<std::string> marker = markerFromArgument(text);
            if (!marker)
                return "marker";
            text = *marker;
            return {};
        },
        "", "marker");
}

} // namespace

void addPlanCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("plan",
                                       "把 FILE 当作关键字列表, 逐行列出字段标记(空, 传真: 或 FAX:)\n"
                                       "和第一页的搜索地址, 以 TAB 分隔");
    auto file = std::make_shared<std::string>();
    sub->add_option("FILE", *file)->required();
    sub->callback([&run, file] { run = [file] { return runPlan(*file); }; });
}

void addCountCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("count", "输出关键字总数(逐行读取)和列表条数(整体拆分), 以 TAB 分隔");
    auto file = std::make_shared<std::string>();
    sub->add_option("FILE", *file)->required();
    sub->callback([&run, file] { run = [file] { return runCount(*file); }; });
}

void addExtractCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("extract",
                                       "把每个 FILE 当作一页搜索结果文本, 按顺序提取传真号码,\n"
                                       "每个号码一行(CR LF); {--marker}\n"
                                       "{--wide} {--dedup}");
    struct Options {
        std::vector<std::string> files;
        std::string marker{kChineseFaxMarker};
        bool deduplicate = false;
        bool wide = false;
    };
    auto options = std::make_shared<Options>();
    CLI::Option* marker = sub->add_option("--marker", options->marker, "M 为 传真: 或 FAX:, 默认 传真:;")
                              ->option_text("M")
                              ->transform(markerCheck());
    // Wide reading reads every fax label: a marker has no place beside it.
    sub->add_flag("--wide", options->wide,
                  "--wide 为宽松识别: 识别各种传真写法 (传真：, 传 真, Fax,\n"
                  "电话/传真, 全角数字, 号码中的空格, 一个标签后的多个号码,\n"
                  "下一行的号码), 不用 --marker;")
        ->excludes(marker);
    sub->add_flag("--dedup", options->deduplicate, "--dedup 表示去重");
    sub->add_option("FILE", options->files)->required();
    sub->callback([&run, options] {
        run = [options] {
            return runExtract(options->files, options->marker, options->deduplicate, options->wide);
        };
    });
}

void addPagerCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand("pager",
                                       "FILE 是一页搜索结果文本, {--offset} 这一页之后是否还有下一页:\n"
                                       "输出 1 或 0; {--wide}");
    struct Options {
        std::string offset;
        std::string file;
        bool wide = false;
    };
    auto options = std::make_shared<Options>();
    sub->add_option("--offset", options->offset,
                    "N 是读这一页时搜索进程记下的页面偏移,\n"
                    "即这一页的偏移加 10 (第一页为 10);")
        ->option_text("N")
        ->required()
        ->check(pageOffsetCheck());
    sub->add_flag("--wide", options->wide, "--wide 也认不带方括号的翻页行\n(如 \"1 2 3 下一页>\")");
    sub->add_option("FILE", options->file)->required();
    sub->callback([&run, options] {
        run = [options] { return runPager(*tryStrToInt(options->offset), options->file, options->wide); };
    });
}

} // namespace vellumax::cli
