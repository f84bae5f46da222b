#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The address at which the machine counts as offline.
inline constexpr std::string_view kOfflineAddress = "127.0.0.1";

// The dotted text of the last IPv4 address that the machine's own host name
// resolves to, or the empty text on any failure. Blocks until the resolver
// answers.
std::string LocalAddressText();

// The pieces of LocalAddressText, so that tests can stand in for the machine
// and its resolver.

// One IPv4 address, most significant byte first (192.168.1.5 is {192, 168, 1, 5}).
using IPv4Address = std::array<uint8_t, 4>;

// The machine's own host name, read into a buffer of 64 bytes; nothing when
// it cannot be read or does not fit.
std::optional<std::string> machineHostName();

// The IPv4 addresses of the name's host entry, in the order the name services
// give them (a hosts file's own order, loopback not moved); empty when the
// name does not resolve.
std::vector<IPv4Address> resolveIPv4(const std::string& hostName);

// "a.b.c.d".
std::string dottedAddress(const IPv4Address& address);

using HostNameSource = std::function<std::optional<std::string>()>;
using AddressLookup = std::function<std::vector<IPv4Address>(const std::string& hostName)>;

// LocalAddressText with the host name and the lookup given.
std::string LocalAddressText(const HostNameSource& hostName, const AddressLookup& lookup);

} // namespace vellumax
