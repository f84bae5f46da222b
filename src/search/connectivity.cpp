#include "search/connectivity.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr size_t kHostNameBuffer = 64;
// A host entry that needs more room than this is not a real one.
constexpr size_t kMaxEntryBuffer = 1 << 20;

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
    // The host-entry lookup keeps the order in which the hosts file and the
    // name services list the addresses; getaddrinfo would sort them (loopback
    // first) and so change which address comes last.
    std::vector<char> buffer(1024);
    hostent entry {};
    hostent* found = nullptr;
    int lookupError = 0;
    int rc = 0;
    while ((rc = ::gethostbyname_r(hostName.c_str(), &entry, buffer.data(), buffer.size(), &found, &lookupError))
               == ERANGE
           && buffer.size() < kMaxEntryBuffer)
        buffer.resize(buffer.size() * 2);

    std::vector<IPv4Address> addresses;
    if (rc != 0 || !found || found->h_addrtype != AF_INET || found->h_length != sizeof(IPv4Address))
        return addresses;
    for (char** raw = found->h_addr_list; *raw; ++raw) {
        IPv4Address address {};
        std::memcpy(address.data(), *raw, address.size());
        addresses.push_back(address);
    }
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
