#include "search/wide_number_forms.h"

#include <algorithm>

namespace vellumax {
namespace {

// A service number: 400 or 800, then seven digits.
constexpr size_t kServiceDigits = 10;
// A mobile with the 0 the marker rule puts in front: 0 1[3-9] and nine more.
constexpr size_t kMobileDigits = 12;
// The longest extension after a dash: longer, the digits are another number.
constexpr size_t kLongestExtension = 6;

bool isDigit(char c) { return c >= '0' && c <= '9'; }

size_t digitsAt(std::string_view s, size_t i)
{
    size_t n = 0;
    while (i + n < s.size() && isDigit(s[i + n]))
        ++n;
    return n;
}

// Whether `rest` is nothing, or a dash and an extension's digits.
bool isExtensionOrNothing(std::string_view rest)
{
    return rest.empty() || (rest[0] == '-' && rest.size() > 1 && rest.size() <= kLongestExtension + 1 &&
                            digitsAt(rest, 1) == rest.size() - 1);
}

// Whether `number` from `i` on is a local number: 7 or 8 digits, in one
// group or several parted by dashes, then an extension or nothing.
bool isLocalPartAt(std::string_view number, size_t i)
{
    size_t local = 0;
    while (i < number.size()) {
        const size_t group = digitsAt(number, i);
        local += group;
        i += group;
        if (group == 0 || local > 8)
            return false;
        if (local >= 7 && isExtensionOrNothing(number.substr(i)))
            return true;
        if (i == number.size() || number[i] != '-')
            return false;
        ++i;
    }
    return false;
}

} // namespace

size_t areaCodeLength(std::string_view number)
{
    const size_t digits = digitsAt(number, 0);
    if (digits >= 3 && (number.starts_with("010") || number.starts_with("02")))
        return 3;
    if (digits >= 4 && number[0] == '0' && number[1] >= '3' && number[1] <= '9')
        return 4;
    return 0;
}

std::optional<std::string> serviceNumberForm(std::string_view number)
{
    // Most numbers are ruled out by their first digit after the 0.
    const size_t first = number.find_first_not_of('-', 1);
    if (!number.starts_with('0') || first == std::string_view::npos || (number[first] != '4' && number[first] != '8'))
        return std::nullopt;
    std::string digits;
    size_t i = 1;
    for (; i < number.size() && digits.size() < kServiceDigits; ++i) {
        if (isDigit(number[i]))
            digits += number[i];
        else if (number[i] != '-')
            return std::nullopt;
    }
    if (digits.size() < kServiceDigits || !(digits.starts_with("400") || digits.starts_with("800")))
        return std::nullopt;
    // More digits right after the seven: not a service number.
    if (i < number.size() && number[i] != '-')
        return std::nullopt;
    return digits.substr(0, 3) + '-' + digits.substr(3) + std::string(number.substr(i));
}

std::string wideNumberForm(std::string number)
{
    if (std::optional<std::string> service = serviceNumberForm(number))
        return std::move(*service);
    // An area code written twice, "0371-0371-86226610", is dialled once.
    const size_t area = areaCodeLength(number);
    if (area > 0 && number.size() > 2 * area + 1 && number[area] == '-' &&
        number.compare(area + 1, area + 1, number, 0, area + 1) == 0 &&
        !areaCodeOf(std::string_view(number).substr(area + 1)).empty())
        number.erase(0, area + 1);
    return number;
}

std::string_view areaCodeOf(std::string_view number)
{
    const size_t area = areaCodeLength(number);
    if (area == 0 || serviceNumberForm(number))
        return {};
    const size_t local = area < number.size() && number[area] == '-' ? area + 1 : area;
    return isLocalPartAt(number, local) ? number.substr(0, area) : std::string_view();
}

bool isWholeNumber(std::string_view number)
{
    if (serviceNumberForm(number) || !areaCodeOf(number).empty())
        return true;
    std::string digits;
    std::copy_if(number.begin(), number.end(), std::back_inserter(digits), isDigit);
    return digits.size() == kMobileDigits && digits.starts_with("01") && digits[2] >= '3' && digits[2] <= '9';
}

bool isLocalNumber(std::string_view plain, bool grouped)
{
    const size_t digits = digitsAt(plain, 0);
    if (digits == 0 || plain[0] == '0' || plain[0] == '1')
        return false;
    if (grouped)
        return isLocalPartAt(plain, 0);
    return (digits == 7 || digits == 8) && isExtensionOrNothing(plain.substr(digits));
}

std::optional<std::string> withLastDigits(std::string_view number, std::string_view digits)
{
    const size_t lastGroup = number.find_last_not_of("0123456789") + 1;
    if (digits.empty() || digitsAt(digits, 0) != digits.size() || digits.size() >= number.size() - lastGroup)
        return std::nullopt;
    std::string changed(number);
    changed.replace(changed.size() - digits.size(), digits.size(), digits);
    return changed;
}

} // namespace vellumax
