#include "app/result_table_file.h"

#include "numbers/number_files.h"
#include "numbers/number_table.h"
#include "search/query_builder.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"

#include <algorithm>

namespace vellumax {
namespace {

// Large enough to keep every core busy, small enough that a cancel is
// answered at once.
constexpr size_t kBatchRows = 4096;

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

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

} // namespace

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

bool writeResultTable(const std::string& path, bool utf8, const ResultTable& table,
                      const NumberClassifier& classifier, const std::function<bool(size_t rowsDone)>& goOn)
{
    LineWriter writer(path);
    const auto writeRow = [&](const std::string& gbkRow) { writer.writeLine(utf8 ? utf8FromGbk(gbkRow) : gbkRow); };
    if (utf8)
        writer.writeLine(std::string(kByteOrderMark) + utf8FromGbk(numberTableHeader()));
    else
        writer.writeLine(numberTableHeader());

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
            }
            writeRow(numberTableRow(table.numbers[row], facts[row - first], origin));
        }
        if (!goOn(end))
            return false; // the writer's temporary file goes with it
    }
    writer.commit();
    return true;
}

} // namespace vellumax
