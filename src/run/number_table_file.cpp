#include "run/number_table_file.h"

#include "numbers/number_files.h"
#include "search/query_builder.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"
#include "text/write_all.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Large enough to keep every core busy, small enough that a cancel is
// answered at once.
constexpr size_t kBatchRows = 4096;

// The header row as a table file begins, in its encoding.
std::string tableHead(bool utf8)
{
    return utf8 ? std::string(kByteOrderMark) + utf8FromGbk(numberTableHeader()) : numberTableHeader();
}

// A row, made in GBK, in the table's encoding.
std::string encodedRow(std::string gbkRow, bool utf8) { return utf8 ? utf8FromGbk(gbkRow) : gbkRow; }

// Rows found within the same second share their time text.
class TimeTexts {
public:
    const std::string& of(int64_t second)
    {
        if (second != second_) {
            second_ = second;
            text_ = tableTimeText(second * 1000);
        }
        return text_;
    }

private:
    int64_t second_ = -1;
    std::string text_;
};

// The first bytes of the file, up to its header row, and its last one: how
// it is encoded, which columns it has, and whether a crash cut its last row
// short.
struct TableEnds {
    std::string head;
    char last = '\n';
};

constexpr size_t kHeadBytes = 512;

TableEnds readEnds(int fd, off_t size)
{
    TableEnds ends;
    ends.head.resize(kHeadBytes);
    const ssize_t n = ::pread(fd, ends.head.data(), ends.head.size(), 0);
    ends.head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (::pread(fd, &ends.last, 1, size - 1) != 1)
        ends.last = '\n';
    return ends;
}

} // namespace

TableOutput::TableOutput(const std::string& path, bool utf8) : path_(path), utf8_(utf8)
{
    fd_.reset(::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!fd_)
        throw Error(cannotCreateFileMessage(path));
    struct stat st {};
    regularFile_ = ::fstat(fd_.get(), &st) == 0 && S_ISREG(st.st_mode);
    if (regularFile_ && st.st_size > 0) {
        const TableEnds ends = readEnds(fd_.get(), st.st_size);
        const bool hasMark = ends.head.starts_with(kByteOrderMark);
        if (hasMark != utf8_) {
            const std::string name = gbkFromUtf8(path);
            throw Error(hasMark ? gbk("号码表 ") + name +
                                      gbk(" 是 UTF-8 编码（带 BOM），不能追加 GBK 行，请加 --table-utf8")
                                : gbk("号码表 ") + name + gbk(" 是 GBK 编码，不能追加 UTF-8 行，请去掉 --table-utf8"));
        }
        // A table of an older version lacks the page columns at its end: rows
        // with them would not line up under its header.
        const std::string header = tableHead(utf8_);
        if (!ends.head.starts_with(header))
            throw Error(
                gbk("号码表 ") + gbkFromUtf8(path) +
                gbk(" 的表头与本程序的号码表不同（旧版的号码表没有“网页标题”和“网址”两列），不能追加，请另选一个文件"));
        if (ends.last != '\n' && ends.last != '\r')
            pending_ = "\r\n";
        return;
    }
    pending_ = tableHead(utf8_) + "\r\n";
}

void TableOutput::add(std::string_view number, const NumberOrigin& origin)
{
    pending_ += encodedRow(numberTableRow(number, classifier_.classify(number), origin), utf8_);
    pending_ += "\r\n";
}

void TableOutput::write()
{
    if (pending_.empty())
        return;
    writeAll(fd_.get(), pending_);
    pending_.clear();
    if (regularFile_ && ::fdatasync(fd_.get()) != 0)
        throwFileError(errno);
}

ResultTable takeResultTable(const ResultList& results, const EntryOrigins& origins,
                            const std::vector<std::string>& keywordList)
{
    ResultTable table;
    table.numbers.assign(results.begin(), results.end());
    table.origins = origins.snapshot(table.numbers.size());
    table.keywords.reserve(keywordList.size());
    for (const std::string& keyword : keywordList)
        table.keywords.push_back(trimKeyword(keyword));
    return table;
}

bool writeResultTable(const std::string& path, bool utf8, const ResultTable& table, const NumberClassifier& classifier,
                      const std::function<bool(size_t rowsDone)>& goOn)
{
    LineWriter writer(path);
    writer.writeLine(tableHead(utf8));

    TimeTexts times;
    std::vector<std::string> batch;
    for (size_t first = 0; first < table.numbers.size(); first += kBatchRows) {
        const size_t end = std::min(table.numbers.size(), first + kBatchRows);
        batch.assign(table.numbers.begin() + static_cast<std::ptrdiff_t>(first),
                     table.numbers.begin() + static_cast<std::ptrdiff_t>(end));
        const std::vector<NumberFacts> facts = classifyBatch(classifier, batch);
        for (size_t row = first; row < end; ++row) {
            NumberOrigin origin;
            // An entry without an origin (none recorded) has only its number.
            if (row < table.origins.size() && table.origins.at(row).keywordNumber > 0) {
                const EntryOrigins::Origin& found = table.origins.at(row);
                const size_t keyword = static_cast<size_t>(found.keywordNumber) - 1;
                origin.keyword = keyword < table.keywords.size() ? std::string_view(table.keywords[keyword]) : "";
                origin.keywordNumber = found.keywordNumber;
                origin.pageOffset = found.pageOffset;
                origin.foundAt = times.of(found.foundAt);
                origin.line = table.origins.line(row);
                if (const EntryOrigins::WebPage* page = table.origins.webPage(row)) {
                    origin.pageTitle = page->title;
                    origin.pageAddress = page->address;
                }
            }
            writer.writeLine(encodedRow(numberTableRow(table.numbers[row], facts[row - first], origin), utf8));
        }
        if (!goOn(end))
            return false; // the writer's temporary file goes with it
    }
    writer.commit();
    return true;
}

bool namesTheSameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::absolute(a, error).lexically_normal() ==
           std::filesystem::absolute(b, error).lexically_normal();
}

} // namespace vellumax
