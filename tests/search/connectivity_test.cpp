// The local address: the last IPv4 address of the host-name lookup, or the
// empty text on any failure.
#include "search/connectivity.h"

#include <gtest/gtest.h>

namespace vellumax {
namespace {

using Addresses = std::vector<IPv4Address>;

std::string addressWith(std::optional<std::string> hostName, Addresses addresses, int* lookups = nullptr)
{
    return LocalAddressText([&] { return hostName; },
                            [&](const std::string& name) {
                                EXPECT_EQ(name, *hostName);
                                if (lookups)
                                    ++*lookups;
                                return addresses;
                            });
}

TEST(LocalAddress, IsTheLastAddressOfTheListOrEmpty)
{
    EXPECT_EQ(addressWith("vm", {{192, 168, 1, 5}, {127, 0, 0, 1}}), kOfflineAddress);
    EXPECT_EQ(addressWith("vm", {{127, 0, 0, 1}, {192, 168, 1, 5}}), "192.168.1.5");
    EXPECT_EQ(addressWith("vm", {{127, 0, 1, 1}}), "127.0.1.1");
    EXPECT_EQ(addressWith("vm", {{0, 0, 0, 0}, {255, 255, 255, 255}}), "255.255.255.255");
    int lookups = 0;
    EXPECT_EQ(addressWith(std::nullopt, {{10, 0, 0, 1}}, &lookups), "");
    EXPECT_EQ(lookups, 0);
    EXPECT_EQ(addressWith("unknown", {}, &lookups), "");
    EXPECT_EQ(lookups, 1);
}

TEST(LocalAddress, RealResolverAndHostName)
{
    EXPECT_EQ(resolveIPv4("10.1.2.3"), (Addresses{{10, 1, 2, 3}}));
    EXPECT_EQ(resolveIPv4(""), Addresses{});
    ASSERT_FALSE(resolveIPv4("localhost").empty());
    EXPECT_EQ(dottedAddress(resolveIPv4("localhost").back()), kOfflineAddress);
    const std::optional<std::string> name = machineHostName();
    ASSERT_TRUE(name && !name->empty() && name->size() < 64);
    const std::string local = LocalAddressText();
    EXPECT_TRUE(local.empty() || local.find_first_not_of("0123456789.") == std::string::npos) << local;
}

} // namespace
} // namespace vellumax
