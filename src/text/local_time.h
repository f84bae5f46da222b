#pragma once

#include <cstdint>
#include <string>

namespace vellumax {

// A moment (milliseconds since the epoch) in local time, in a strftime
// format; empty when the system cannot tell the local time.
std::string localTimeText(int64_t unixMs, const char* format);

} // namespace vellumax
