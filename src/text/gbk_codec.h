#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace vellumax {

// Conversions between the GBK code page, in which every text of the program
// is held, and Unicode, which the screen and the terminal want.
//
// Towards GBK, a character that has no GBK form becomes "?". From GBK, bytes
// that are not valid GBK become U+FFFD; a decode never fails.
std::string gbkFromUtf8(std::string_view utf8);
std::string gbkFromUtf16(std::u16string_view utf16);
std::string utf8FromGbk(std::string_view gbk);
std::u16string utf16FromGbk(std::string_view gbk);

// A GBK text cut to at most `limit` bytes without splitting a double-byte
// character: one that would straddle the limit is left out whole.
std::string cutGbk(std::string_view text, std::size_t limit);

// Shorthand for the program's own texts, written in UTF-8 in the sources.
inline std::string gbk(std::string_view utf8) { return gbkFromUtf8(utf8); }

} // namespace vellumax
