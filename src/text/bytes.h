#pragma once

#include <string_view>

namespace vellumax {

// Byte-wise, case-sensitive searches over GBK text. An empty needle is never
// found: an empty field marker must match no line.
inline bool containsBytes(std::string_view haystack, std::string_view needle)
{
    return !needle.empty() && haystack.find(needle) != std::string_view::npos;
}

inline bool beginsWithBytes(std::string_view text, std::string_view prefix)
{
    return !prefix.empty() && text.starts_with(prefix);
}

// `text` without the spaces and tabs at both ends.
inline std::string_view trimmedBlanks(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

} // namespace vellumax
