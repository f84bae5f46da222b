#include "numbers/table_summary.h"

#include "numbers/number_table.h"
#include "text/error.h"
#include "text/gbk_codec.h"
#include "text/int_conversion.h"
#include "text/line_reader.h"

#include <array>
#include <set>
#include <utility>

namespace vellumax {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
// 号码,有效,类型,地区,关键字,关键字序号,页面偏移: the cells the summary reads.
enum Column { Number, Valid, Kind, Region, Keyword, KeywordNumber, PageOffset, kColumnsRead };
// The table before it had the page columns.
constexpr size_t kOlderColumns = 9;

NumberKind kindNamed(std::string_view name)
{
    for (size_t k = 0; k <= static_cast<size_t>(NumberKind::Unknown); ++k)
        if (numberKindName(static_cast<NumberKind>(k)) == name)
            return static_cast<NumberKind>(k);
    return NumberKind::Unknown;
}

// The table read; a file that cannot be read throws FileError.
void summariseTableLines(const std::string& path, HarvestSummary& summary)
{
    LineReader reader(path);
    std::string line = reader.readLine();
    const bool utf8 = line.starts_with(kByteOrderMark);
    const auto toGbk = [utf8](std::string text) { return utf8 ? gbkFromUtf8(text) : text; };
    const std::string header = toGbk(utf8 ? line.substr(kByteOrderMark.size()) : line);
    const std::string name = gbkFromUtf8(path);
    const std::string current = numberTableHeader();
    const size_t olderEnd = current.find(gbk(",网页标题"));
    const bool older = header == current.substr(0, olderEnd);
    if (header != current && !older)
        throw Error(gbk("不是号码表（表头不对）：") + name);
    const size_t columns = older ? kOlderColumns : kOlderColumns + 2;

    static const std::string yes = gbk("是");
    std::set<std::pair<int32_t, int32_t>> pages;
    for (size_t number = 2; !reader.atEnd(); ++number) {
        reader.readLine(line);
        if (line.empty())
            continue;
        const std::optional<std::vector<std::string>> cells = tableCells(toGbk(line));
        const std::optional<int32_t> keyword =
            cells && cells->size() == columns ? tryStrToInt((*cells)[KeywordNumber]) : std::nullopt;
        const std::optional<int32_t> offset =
            cells && cells->size() == columns ? tryStrToInt((*cells)[PageOffset]) : std::nullopt;
        if (!keyword || !offset)
            throw Error(gbk("号码表 ") + name + gbk(" 第 ") + std::to_string(number) + gbk(" 行格式不对"));
        const std::vector<std::string>& row = *cells;
        summary.addNumber(row[Valid] == yes, kindNamed(row[Kind]), row[Region], *keyword, false);
        if (*keyword > 0) {
            summary.nameKeyword(*keyword, unguardedCell(row[Keyword]));
            if (pages.emplace(*keyword, *offset).second)
                summary.addPageRead(*keyword);
        }
    }
}

} // namespace

std::optional<std::vector<std::string>> tableCells(std::string_view row)
{
    std::vector<std::string> cells(1);
    size_t i = 0;
    while (i < row.size()) {
        std::string& cell = cells.back();
        if (row[i] == ',') {
            cells.emplace_back();
            ++i;
        } else if (row[i] == '"' && cell.empty()) {
            // A quoted cell runs to its lone closing quote.
            for (++i;; ++i) {
                if (i >= row.size())
                    return std::nullopt;
                if (row[i] == '"') {
                    if (i + 1 < row.size() && row[i + 1] == '"') {
                        cell += '"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                cell += row[i];
            }
            if (i < row.size() && row[i] != ',')
                return std::nullopt;
        } else {
            cell += row[i++];
        }
    }
    return cells;
}

std::string unguardedCell(std::string_view cell)
{
    if (cell.size() >= 3 && cell.starts_with("=\"") && cell.ends_with('"'))
        return std::string(cell.substr(2, cell.size() - 3));
    if (cell.size() >= 2 && cell.front() == '\'' &&
        (cell[1] == '=' || cell[1] == '+' || cell[1] == '-' || cell[1] == '@'))
        return std::string(cell.substr(1));
    return std::string(cell);
}

void summariseTable(const std::string& path, HarvestSummary& summary)
{
    try {
        summariseTableLines(path, summary);
    } catch (const FileError& e) {
        throw Error(gbkFromUtf8(path) + ": " + e.what());
    }
}

} // namespace vellumax
