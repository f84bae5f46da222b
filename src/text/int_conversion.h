#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellumax {

// Text to a signed 32-bit integer. Accepted: optional leading blanks, then
// either an optional sign and decimal digits, or a "$", "x" or "0x" prefix
// (either letter case) and hexadecimal digits. Anything else (an empty text,
// trailing blanks or letters, a value outside the signed 32-bit range) is
// refused.
std::optional<int32_t> tryStrToInt(std::string_view text);

// As tryStrToInt, but a refused text throws Error
// "'%s' is not a valid integer value" with the text in place of %s.
int32_t strToInt(std::string_view text);

std::string invalidIntegerMessage(std::string_view text);

} // namespace vellumax
