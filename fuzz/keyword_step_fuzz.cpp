// The keyword step: trimming, the field-marker rule and the URL encoder.
// The input is a list of keyword lines separated by LF, prepared in order
// by one builder, so that the marker carries from one keyword to the next.
#include "fuzz_check.h"
#include "search/query_builder.h"

#include <optional>
#include <string>

using namespace vellumax;

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1; // the encoder writes upper-case digits only
}

// "+" is a blank, "%XY" one byte, digits and letters themselves; anything
// else is not the encoder's output.
std::optional<std::string> decode(std::string_view encoded)
{
    std::string out;
    for (size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%') {
            if (i + 2 >= encoded.size())
                return std::nullopt;
            const int high = hexValue(encoded[i + 1]);
            const int low = hexValue(encoded[i + 2]);
            if (high < 0 || low < 0)
                return std::nullopt;
            const char byte = static_cast<char>(high << 4 | low);
            // Digits, letters and the blank are never escaped.
            if ((byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                byte == ' ')
                return std::nullopt;
            out += byte;
            i += 2;
        } else if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out += c;
        } else {
            return std::nullopt;
        }
    }
    return out;
}

bool blank(char c) { return static_cast<unsigned char>(c) <= 32; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    const std::string endpoint = "http://127.0.0.1:8080";
    const std::string head = endpoint + "/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=";
    QueryBuilder builder(endpoint);
    std::string marker;

    for (size_t pos = 0; pos <= text.size();) {
        const size_t lf = std::min(text.find('\n', pos), text.size());
        const std::string_view line = text.substr(pos, lf - pos);
        pos = lf + 1;

        const std::string keyword = trimKeyword(line);
        FUZZ_CHECK(keyword.empty() || (!blank(keyword.front()) && !blank(keyword.back())));
        FUZZ_CHECK(line.find(keyword) != std::string_view::npos);
        size_t first = 0;
        while (first < line.size() && blank(line[first]))
            ++first;
        FUZZ_CHECK(keyword.empty() ? first == line.size() : line.substr(first, keyword.size()) == keyword);

        std::string lowered = keyword;
        for (char& c : lowered)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        if (lowered.find("fax") != std::string::npos)
            marker = kLatinFaxMarker;
        else if (keyword.find("\xB4\xAB\xD5\xE6") != std::string::npos)
            marker = kChineseFaxMarker;

        const std::string base = builder.PrepareKeyword(line);
        FUZZ_CHECK(builder.fieldMarker() == marker);
        FUZZ_CHECK(builder.NMURL1().InputString == keyword);
        FUZZ_CHECK(base.starts_with(head) && base.ends_with("&pn="));

        const std::string encoded = base.substr(head.size(), base.size() - head.size() - 4);
        FUZZ_CHECK(encoded == builder.NMURL1().EncodedInput());
        for (const char c : encoded)
            FUZZ_CHECK(c > 32 && c < 127);
        FUZZ_CHECK(decode(encoded) == keyword);

        const std::string url = PageUrl(base, 740);
        FUZZ_CHECK(url == base + "740&cl=3");
    }
    return 0;
}
