// The GBK codec. Any bytes decode without failing; text that decodes
// without a replacement character encodes back to the same bytes; UTF-16
// text encodes to GBK that decodes back to it, with "?" for what GBK lacks.
#include "fuzz_check.h"
#include "text/gbk_codec.h"

#include <string>

using namespace vellumax;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view bytes = fuzz::bytesOf(data, size);

    const std::u16string text = utf16FromGbk(bytes);
    FUZZ_CHECK(text.size() <= bytes.size());
    if (text.find(u'\uFFFD') == std::u16string::npos)
        FUZZ_CHECK(gbkFromUtf16(text) == bytes);
    FUZZ_CHECK(gbkFromUtf8(utf8FromGbk(bytes)) == gbkFromUtf16(text));

    // The same bytes read as UTF-16 units.
    std::u16string units(size / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    const std::string encoded = gbkFromUtf16(units);
    const std::u16string back = utf16FromGbk(encoded);
    size_t j = 0;
    for (size_t i = 0; i < units.size(); ++i, ++j) {
        FUZZ_CHECK(j < back.size());
        const char16_t c = units[i];
        const bool pair = c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size() && units[i + 1] >= 0xDC00 &&
                          units[i + 1] <= 0xDFFF;
        if (pair)
            ++i;
        FUZZ_CHECK(back[j] == c || back[j] == u'?');
        if (back[j] == u'?' && c != u'?')
            FUZZ_CHECK(pair || gbkFromUtf16(std::u16string(1, c)) == "?");
    }
    FUZZ_CHECK(j == back.size());
    return 0;
}
