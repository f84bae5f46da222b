#pragma once

#include "search/fax_extraction.h"

#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The plain form of a number as a page writes it after a fax label: the
// characters the marker rule reads ("0123456789(-+)"), with what people
// put between them made plain. A blank or a dot after a country code, or
// after a leading area code, becomes the dash it stands for ("020 85115111"
// is "020-85115111"); any other blank or dot inside the number goes
// ("0576-8888 1060" is "0576-88881060"); long dashes are dashes. The number
// ends at anything else, or at a blank once it has all the digits a number
// has. `length` is set to the bytes of `text` it took. Empty when `text`
// does not begin with a number.
std::string plainNumberAt(std::string_view text, size_t& length);

// Wide reading of page lines: every fax label people write counts, Chinese
// or English, either colon, blanks around them (传真：, 传 真:, 傳真, Fax, 电话/传真,
// 传真 (Fax):, 传真号码...), and every number after it, several of them when
// they are parted by "/", "、", "，" or "或", or by blanks when each is whole;
// a local number among them takes the area code of the one before. In a
// sentence, 传真至 (or 传真到) takes the first number up to its end. A number
// after another label (电话, Tel, 手机...) is never taken: a number belongs to
// the label right before it. Full-width forms are folded first. Each number
// is brought to the form the marker rule gives for it written plainly after
// "传真:", so both readings give the same text for the same number, but for
// the service numbers (400-6617163), which keep their own form; on a line
// the marker rule takes a number from (with "传真:" or "FAX:"), that number
// comes first.
//
// A label that ends its line takes the number that opens the next one, so
// the reader keeps that between lines; a new page starts with `newPage`.
class WideFaxReader {
public:
    // Calls `found` with each fax number of the line, in order, and the line.
    void readLine(std::string_view line, const FoundNumberCallback& found);
    void newPage() { labelPending_ = false; }
    // The last line read ended with a fax label: the next one is to be read
    // for its number.
    bool labelPending() const { return labelPending_; }

private:
    bool labelPending_ = false;
    // Kept from line to line, so that reading a line allocates nothing.
    struct Specified {
        std::string_view run; // as the marker rule read it
        std::string number;
        bool given = false; // the wide reading found it too
    };
    std::vector<Specified> specified_;
    std::vector<std::string> plain_;
};

// Where, at `from` or after, a fax label may stand in a text: a cheap byte
// test that rules out most lines of a page without reading them. npos when
// nowhere.
size_t nextFaxTrigger(std::string_view text, size_t from);
bool mayHoldFaxLabel(std::string_view line);

// The wide reading of a whole page's lines, in order.
void forEachWideFaxNumber(const std::vector<std::string_view>& pageLines, const FoundNumberCallback& found);

// The same for a page text, with `reader` carrying a label over from the
// text before, without taking the text apart: only the lines that may hold
// a label, and those after a label that ended its line, are cut out.
void forEachWideFaxNumberInText(std::string_view pageText, WideFaxReader& reader, const FoundNumberCallback& found);

// ExtractFaxNumbers with the wide reading: the numbers of the page's text,
// as its lines would give them, go to the result list, `deduplicate` asked
// for each one.
size_t ExtractFaxNumbersWide(std::string_view pageText, const std::function<bool()>& deduplicate,
                             ResultList& results, const std::function<void(std::string_view line)>& appended = {});

} // namespace vellumax
