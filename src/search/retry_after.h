#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vellumax {

// How long an HTTP answer's Retry-After value asks the client to wait, in
// milliseconds from `nowUnixMs`: delay-seconds ("120"), or an HTTP date in any
// of its three forms ("Sun, 06 Nov 1994 08:49:37 GMT", "Sunday, 06-Nov-94
// 08:49:37 GMT", "Sun Nov  6 08:49:37 1994"). A date already past asks for
// no wait. Nothing for a value that is neither: the engine asked nothing we
// can understand.
std::optional<int64_t> retryAfterWaitMs(std::string_view value, int64_t nowUnixMs);

} // namespace vellumax
