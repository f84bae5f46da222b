#include "numbers/classification_csv.h"

#include "text/gbk_codec.h"

namespace vellumax {

void appendCsvField(std::string& row, std::string_view field)
{
    if (field.find_first_of(",\"\r\n") == std::string_view::npos) {
        row += field;
        return;
    }
    row += '"';
    for (const char c : field) {
        if (c == '"')
            row += '"';
        row += c;
    }
    row += '"';
}

std::string classificationCsvHeader() { return gbk("号码,国际格式,有效,类型,地区"); }

std::string classificationCsvRow(std::string_view storedNumber, const NumberFacts& facts)
{
    static const std::string yes = gbk("是"), no = gbk("否");
    std::string row;
    appendCsvField(row, storedNumber);
    row += ',';
    appendCsvField(row, facts.international);
    row += ',';
    row += facts.valid ? yes : no;
    row += ',';
    appendCsvField(row, numberKindName(facts.kind));
    row += ',';
    appendCsvField(row, facts.region);
    return row;
}

} // namespace vellumax
