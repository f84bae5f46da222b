#pragma once

#include <string>
#include <string_view>

namespace vellumax {

// The text the error box shows for a failure's message (GBK bytes): a full
// stop is appended when the message's last character has a higher code than
// "." (after a letter, a digit or a Chinese character); a message ending in
// "." or a sign of lower code such as ")" or "!" is shown unchanged. For a
// double-byte character its first byte counts, so the last character is found
// by walking the text from its start.
std::string errorBoxText(std::string_view message);

} // namespace vellumax
