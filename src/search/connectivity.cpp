#include "search/connectivity.h"

#include <arpa/inet.h>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr size_t kHostNameBuffer = 64;

} // namespace

std::optional<std::string> machineHostName()
{
    char name[kHostNameBuffer] = {};
    // A name that does not fit fails here rather than coming back cut short.
    if (::gethostname(name, sizeof name) != 0 || name[sizeof name - 1] != '\0')
        return std::nullopt;
    return std::string(name);
}

std::vector<IPv4Address> resolveIPv4(const std::string& hostName)
{
    addrinfo hints {};
    hints.ai_family = AF_INET;
    // One entry per address, not one per socket type.
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    if (::getaddrinfo(hostName.c_str(), nullptr, &hints, &found) != 0)
        return {};

    std::vector<IPv4Address> addresses;
    for (const addrinfo* entry = found; entry; entry = entry->ai_next) {
        if (entry->ai_family != AF_INET || !entry->ai_addr)
            continue;
        sockaddr_in socketAddress {};
        std::memcpy(&socketAddress, entry->ai_addr, sizeof socketAddress);
        IPv4Address address {};
        std::memcpy(address.data(), &socketAddress.sin_addr, address.size());
        addresses.push_back(address);
    }
    ::freeaddrinfo(found);
    return addresses;
}

std::string dottedAddress(const IPv4Address& address)
{
    in_addr raw {};
    std::memcpy(&raw, address.data(), address.size());
    char text[INET_ADDRSTRLEN] = {};
    if (!::inet_ntop(AF_INET, &raw, text, sizeof text))
        return {};
    return text;
}

std::string LocalAddressText(const HostNameSource& hostName, const AddressLookup& lookup)
{
    std::string result;
    const std::optional<std::string> name = hostName();
    if (!name)
        return result;
    // Every address replaces the one before, so the last one of the list wins.
    for (const IPv4Address& address : lookup(*name))
        result = dottedAddress(address);
    return result;
}

std::string LocalAddressText() { return LocalAddressText(machineHostName, resolveIPv4); }

} // namespace vellumax
