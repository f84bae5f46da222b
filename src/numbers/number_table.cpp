#include "numbers/number_table.h"

#include "numbers/classification_csv.h"
#include "text/gbk_codec.h"
#include "text/local_time.h"

#include <algorithm>

namespace vellumax {
namespace {

constexpr std::string_view kIdeographicSpace = "\xA1\xA1";

bool isBlankByte(char c) { return static_cast<unsigned char>(c) <= 32; }

// A GBK lead byte; the byte after it belongs to the same character.
bool isLeadByte(char c)
{
    const auto b = static_cast<unsigned char>(c);
    return b >= 0x81 && b <= 0xFE;
}

std::string_view trimBlanks(std::string_view text)
{
    for (;;) {
        if (!text.empty() && isBlankByte(text.front()))
            text.remove_prefix(1);
        else if (text.starts_with(kIdeographicSpace))
            text.remove_prefix(kIdeographicSpace.size());
        else
            break;
    }
    for (;;) {
        if (!text.empty() && isBlankByte(text.back())) {
            text.remove_suffix(1);
            continue;
        }
        // Only a whole character at the end: the last two bytes may be the
        // trail of one character and the lead of the blank's look-alike.
        if (text.ends_with(kIdeographicSpace)) {
            size_t at = 0;
            while (at + kIdeographicSpace.size() < text.size())
                at += isLeadByte(text[at]) && at + 1 < text.size() ? 2 : 1;
            if (at == text.size() - kIdeographicSpace.size()) {
                text.remove_suffix(kIdeographicSpace.size());
                continue;
            }
        }
        break;
    }
    return text;
}

// Keeps a text cell from being run as a formula.
void appendTextCell(std::string& row, std::string_view text)
{
    if (!text.empty() && (text[0] == '=' || text[0] == '+' || text[0] == '-' || text[0] == '@'))
        appendCsvField(row, "'" + std::string(text));
    else
        appendCsvField(row, text);
}

void appendNumberCell(std::string& row, std::string_view number)
{
    const bool digitsOnly =
        !number.empty() && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digitsOnly)
        appendCsvField(row, "=\"" + std::string(number) + "\"");
    else
        appendTextCell(row, number);
}

} // namespace

std::string numberTableHeader()
{
    return gbk("号码,有效,类型,地区,关键字,关键字序号,页面偏移,时间,所在行,网页标题,网址");
}

std::string numberTableRow(std::string_view number, const NumberFacts& facts, const NumberOrigin& origin)
{
    static const std::string yes = gbk("是"), no = gbk("否");
    std::string row;
    row.reserve(96 + origin.line.size() + origin.pageTitle.size() + origin.pageAddress.size());
    appendNumberCell(row, number);
    row += ',';
    row += facts.valid ? yes : no;
    row += ',';
    appendTextCell(row, numberKindName(facts.kind));
    row += ',';
    appendTextCell(row, facts.region);
    row += ',';
    appendTextCell(row, origin.keyword);
    row += ',';
    row += std::to_string(origin.keywordNumber);
    row += ',';
    row += std::to_string(origin.pageOffset);
    row += ',';
    appendTextCell(row, origin.foundAt);
    row += ',';
    appendTextCell(row, origin.line);
    row += ',';
    appendTextCell(row, origin.pageTitle);
    row += ',';
    appendTextCell(row, origin.pageAddress);
    return row;
}

std::string_view tableLine(std::string_view pageLine)
{
    const std::string_view line = trimBlanks(pageLine);
    size_t end = 0;
    for (size_t characters = 0; characters < kTableLineCharacters && end < line.size(); ++characters)
        end += isLeadByte(line[end]) && end + 1 < line.size() ? 2 : 1;
    return line.substr(0, end);
}

std::string tableTimeText(int64_t unixMs) { return localTimeText(unixMs, "%Y-%m-%d %H:%M:%S"); }

} // namespace vellumax
