// stats [--csv FILE [--utf8]] TABLE...: a harvest at a glance, from its
// number tables: where the numbers are, what kind, and which keywords paid.
#include "cli/number_options.h"

#include "numbers/classification_csv.h"
#include "numbers/table_summary.h"
#include "text/gbk_codec.h"

#include <cstdio>
#include <memory>
#include <string>

namespace vellumax::cli {
namespace {

constexpr size_t kTopProvinces = 15;
constexpr size_t kCitiesShown = 5;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

std::string perPage(const HarvestSummary::Keyword& keyword)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", keyword.numbersPerPage());
    return text;
}

// The summary as a terminal shows it, GBK.
std::string summaryText(const HarvestSummary& summary)
{
    std::string text = gbk("号码 ") + std::to_string(summary.numbers()) + gbk(" 个:");
    for (size_t k = 0; k < kKindGroups; ++k)
        text += (k ? ", " : " ") + kindGroupName(static_cast<KindGroup>(k)) + " " + std::to_string(summary.kinds()[k]);
    text += gbk("\n\n省份 (号码最多的 ") + std::to_string(kTopProvinces) + gbk(" 个) 与其城市:\n");
    for (const HarvestSummary::Count& province : summary.provinces(kTopProvinces)) {
        text += "  " + province.name + "  " + std::to_string(province.numbers);
        const std::vector<HarvestSummary::Count> cities = summary.cities(province.name);
        for (size_t c = 0; c < cities.size() && c < kCitiesShown; ++c)
            text += (c ? ", " : gbk("  (")) + cities[c].name + " " + std::to_string(cities[c].numbers);
        text += cities.empty() ? "\n" : cities.size() > kCitiesShown ? ", ...)\n" : ")\n";
    }
    text += gbk("\n关键字序号  号码  页数  每页号码  关键字\n");
    for (const HarvestSummary::Keyword& keyword : summary.keywords())
        text += "  " + std::to_string(keyword.number) + "  " + std::to_string(keyword.numbers) + "  " +
                std::to_string(keyword.pagesRead) + "  " + perPage(keyword) + "  " + keyword.keyword + "\n";
    return text;
}

// The three tables for a spreadsheet, one after the other with an empty
// line between, GBK rows.
std::vector<std::string> summaryRows(const HarvestSummary& summary)
{
    std::vector<std::string> rows = {gbk("省份,城市,号码")};
    for (const HarvestSummary::Count& province : summary.provinces())
        for (const HarvestSummary::Count& city : summary.cities(province.name)) {
            std::string row;
            appendCsvField(row, province.name);
            row += ',';
            appendCsvField(row, city.name);
            rows.push_back(row + "," + std::to_string(city.numbers));
        }
    rows.push_back("");
    rows.push_back(gbk("类型,号码"));
    for (size_t k = 0; k < kKindGroups; ++k)
        rows.push_back(kindGroupName(static_cast<KindGroup>(k)) + "," + std::to_string(summary.kinds()[k]));
    rows.push_back("");
    rows.push_back(gbk("关键字序号,关键字,号码,页数,每页号码"));
    for (const HarvestSummary::Keyword& keyword : summary.keywords()) {
        std::string row = std::to_string(keyword.number) + ",";
        appendCsvField(row, keyword.keyword);
        rows.push_back(row + "," + std::to_string(keyword.numbers) + "," + std::to_string(keyword.pagesRead) + "," +
                       perPage(keyword));
    }
    return rows;
}

} // namespace

int runStats(const StatsOptions& options)
{
    HarvestSummary summary;
    for (const std::string& table : options.tables)
        summariseTable(table, summary);
    if (!options.csv.empty()) {
        const std::unique_ptr<LineWriter> file = createOutput(options.csv);
        bool first = true;
        for (const std::string& row : summaryRows(summary)) {
            file->writeLine(options.utf8 ? (first ? std::string(kByteOrderMark) : "") + utf8FromGbk(row) : row);
            first = false;
        }
        file->commit();
    }
    const std::string text = utf8FromGbk(summaryText(summary));
    std::fwrite(text.data(), 1, text.size(), stdout);
    return 0;
}

} // namespace vellumax::cli
