// The local address: the last IPv4 address of the host-name lookup, or the
// empty text on any failure.
#include "search/connectivity.h"
#include "support/child_process.h"
#include "support/test_files.h"

#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

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

// LocalAddressText in a child with a host name and a hosts file of its own (a
// private mount and host-name namespace), so the platform's real lookup is
// judged, in the order the hosts file lists the addresses. Only the hosts
// file is asked, so that neither a name server nor a module that knows the
// machine's own name can answer. "skip: ..." when the namespaces cannot be had.
std::string localAddressWithHosts(const std::string& hostName, const std::string& hosts)
{
    test::TempDir dir;
    test::writeBytes(dir.file("hosts"), hosts);
    test::writeBytes(dir.file("nsswitch.conf"), "hosts: files\n");
    return test::runInChild([] {}, [&]() -> std::string {
        if (::unshare(CLONE_NEWNS | CLONE_NEWUTS) != 0)
            return std::string("skip: unshare: ") + std::strerror(errno);
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
            return std::string("skip: mount: ") + std::strerror(errno);
        for (const char* name : {"hosts", "nsswitch.conf"}) {
            const std::string own = dir.file(name), system = std::string("/etc/") + name;
            if (::mount(own.c_str(), system.c_str(), nullptr, MS_BIND, nullptr) != 0)
                return "skip: mount " + system + ": " + std::strerror(errno);
        }
        if (::sethostname(hostName.data(), hostName.size()) != 0)
            return std::string("skip: sethostname: ") + std::strerror(errno);
        return "[" + LocalAddressText() + "]";
    });
}

TEST(LocalAddress, KeepsTheOrderOfTheHostsFile)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root, for a private host name and hosts file";
    struct Case {
        const char* hosts;
        const char* expected;
    };
    const Case cases[] = {
        {"192.0.2.2 vellumax-test\n127.0.0.1 vellumax-test localhost\n", "[127.0.0.1]"},
        {"127.0.0.1 vellumax-test localhost\n192.0.2.2 vellumax-test\n", "[192.0.2.2]"},
        {"127.0.0.1 localhost\n", "[]"},
    };
    for (const Case& c : cases) {
        const std::string got = localAddressWithHosts("vellumax-test", c.hosts);
        if (got.rfind("skip:", 0) == 0)
            GTEST_SKIP() << got;
        EXPECT_EQ(got, c.expected) << c.hosts;
    }
}

} // namespace
} // namespace vellumax
