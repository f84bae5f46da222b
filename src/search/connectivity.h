#pragma once

#include <string>
#include <string_view>

namespace vellumax {

// The address at which the machine counts as offline.
inline constexpr std::string_view kOfflineAddress = "127.0.0.1";

// The dotted text of the last IPv4 address that the machine's own host name
// resolves to, or the empty text on any failure. Blocks until the resolver
// answers.
std::string LocalAddressText();

} // namespace vellumax
