// Text to integer, against a reference parse that reads the digits with
// arbitrary length.
#include "fuzz_check.h"
#include "text/error.h"
#include "text/int_conversion.h"

#include <optional>
#include <string>

using namespace vellumax;

namespace {

std::optional<int32_t> referenceParse(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    text.remove_prefix(i);
    int base = 10;
    bool negative = false;
    if (!text.empty() && (text[0] == '$' || text[0] == 'x' || text[0] == 'X')) {
        base = 16;
        text.remove_prefix(1);
    } else if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        text.remove_prefix(2);
    } else if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty())
        return std::nullopt;
    const std::string digits = base == 16 ? "0123456789abcdefABCDEF" : "0123456789";
    if (text.find_first_not_of(digits) != std::string_view::npos)
        return std::nullopt;
    // Leading zeros do not count towards the size.
    const size_t significant = text.find_first_not_of('0');
    if (significant == std::string_view::npos)
        return 0;
    text.remove_prefix(significant);
    if (text.size() > 10)
        return std::nullopt;
    __int128 value = 0;
    for (const char c : text)
        value = value * base + (c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10);
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    const std::optional<int32_t> value = tryStrToInt(text);
    FUZZ_CHECK(value == referenceParse(text));
    try {
        FUZZ_CHECK(strToInt(text) == *value);
    } catch (const Error& e) {
        FUZZ_CHECK(!value);
        // The message is shown as a C string, so a NUL in the text ends it.
        const std::string message = "'" + std::string(text) + "' is not a valid integer value";
        FUZZ_CHECK(e.what() == message.substr(0, message.find('\0')));
    }
    return 0;
}
