#include "text/int_conversion.h"

#include "text/error.h"

namespace vellumax {
namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::optional<int32_t> tryStrToInt(std::string_view text)
{
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    std::string_view rest = text.substr(i);

    int base = 10;
    bool negative = false;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.size() >= 2 && rest[0] == '0' && (rest[1] == 'x' || rest[1] == 'X')) {
        base = 16;
        rest.remove_prefix(2);
    } else if (rest.starts_with('+') || rest.starts_with('-')) {
        negative = rest[0] == '-';
        rest.remove_prefix(1);
    }
    if (rest.empty())
        return std::nullopt;

    // Accumulate the magnitude in 64 bits; stop as soon as it can no longer
    // fit, so long runs of digits cannot overflow.
    const int64_t limit = negative ? int64_t{INT32_MAX} + 1 : int64_t{INT32_MAX};
    int64_t value = 0;
    for (char c : rest) {
        const int digit = base == 16 ? hexDigit(c) : (c >= '0' && c <= '9' ? c - '0' : -1);
        if (digit < 0)
            return std::nullopt;
        value = value * base + digit;
        if (value > limit)
            return std::nullopt;
    }
    return static_cast<int32_t>(negative ? -value : value);
}

std::string invalidIntegerMessage(std::string_view text)
{
    return "'" + std::string(text) + "' is not a valid integer value";
}

int32_t strToInt(std::string_view text)
{
    if (auto value = tryStrToInt(text))
        return *value;
    throw Error(invalidIntegerMessage(text));
}

} // namespace vellumax
