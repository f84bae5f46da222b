#include "search/site_address.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace vellumax {
namespace {

using Ipv6Pieces = std::array<uint16_t, 8>;

// Bigger than any part of an IPv4 address may be; long numbers stop growing
// here instead of overflowing.
constexpr uint64_t kTooBig = uint64_t{1} << 32;

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string lowered(std::string_view s)
{
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(), lower);
    return out;
}

// A browser would quietly drop, escape or reinterpret anything else, and the
// host we check must be the host it loads.
bool plainByte(char c) { return c > ' ' && c < '\x7F' && c != '\\'; }

bool hostByte(char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' || c == '_'; }

bool isDigit(char c) { return c >= '0' && c <= '9'; }

int digitValue(char c, int radix)
{
    int value = 99;
    if (isDigit(c))
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    return value < radix ? value : -1;
}

// One dot-separated part of an IPv4 host as browsers read it: "0x" starts
// hex (with no digits it is 0), a leading "0" starts octal.
std::optional<uint64_t> ipv4Number(std::string_view part)
{
    if (part.empty())
        return std::nullopt;
    int radix = 10;
    if (part.starts_with("0x")) {
        radix = 16;
        part.remove_prefix(2);
    } else if (part.size() > 1 && part.front() == '0') {
        radix = 8;
        part.remove_prefix(1);
    }
    uint64_t value = 0;
    for (const char c : part) {
        const int digit = digitValue(c, radix);
        if (digit < 0)
            return std::nullopt;
        value = std::min(value * radix + digit, kTooBig);
    }
    return value;
}

// Browsers take a host whose last label is a number for an IPv4 address, and
// fail it if the rest does not fit; "example.123" is no domain to them.
bool endsInNumber(std::string_view host)
{
    const std::string_view last = host.substr(host.rfind('.') + 1);
    return !last.empty() && (std::all_of(last.begin(), last.end(), isDigit) || ipv4Number(last));
}

// Up to four parts; the last one fills all the bytes the others leave, so
// "127.1" is 127.0.0.1 and "2130706433" is too.
std::optional<uint32_t> ipv4Address(std::string_view host)
{
    std::array<uint64_t, 4> numbers{};
    size_t count = 0;
    for (size_t start = 0;; ++count) {
        const size_t dot = std::min(host.find('.', start), host.size());
        if (count == numbers.size())
            return std::nullopt;
        const std::optional<uint64_t> number = ipv4Number(host.substr(start, dot - start));
        if (!number)
            return std::nullopt;
        numbers[count] = *number;
        if (dot == host.size())
            break;
        start = dot + 1;
    }
    uint64_t address = numbers[count];
    if (address >= uint64_t{1} << (8 * (4 - count)))
        return std::nullopt;
    for (size_t i = 0; i < count; ++i) {
        if (numbers[i] > 255)
            return std::nullopt;
        address += numbers[i] << (8 * (3 - i));
    }
    return static_cast<uint32_t>(address);
}

bool refusedIpv4(uint32_t address)
{
    struct Block {
        uint32_t base;
        int bits;
    };
    static constexpr std::array<Block, 8> kBlocks = {{
        {0x00000000, 8},  // this network
        {0x0A000000, 8},  // private
        {0x64400000, 10}, // shared by carriers' NAT
        {0x7F000000, 8},  // loopback
        {0xA9FE0000, 16}, // link-local
        {0xAC100000, 12}, // private
        {0xC0A80000, 16}, // private
        {0xFFFFFFFF, 32}, // broadcast
    }};
    return std::any_of(kBlocks.begin(), kBlocks.end(),
                       [address](const Block& block) { return (address ^ block.base) >> (32 - block.bits) == 0; });
}

std::string ipv4Text(uint32_t address)
{
    std::string out;
    for (int shift = 24; shift >= 0; shift -= 8) {
        out += std::to_string((address >> shift) & 0xFF);
        if (shift > 0)
            out += '.';
    }
    return out;
}

// The dotted IPv4 address an IPv6 address may end in: unlike a host, exactly
// four decimal parts, none with a leading zero.
bool readEmbeddedIpv4(std::string_view text, std::vector<uint16_t>& pieces)
{
    uint32_t address = 0;
    size_t count = 0;
    for (size_t start = 0; start <= text.size(); ++count) {
        const size_t dot = std::min(text.find('.', start), text.size());
        const std::string_view part = text.substr(start, dot - start);
        if (count == 4 || part.empty() || part.size() > 3 || (part.size() > 1 && part.front() == '0') ||
            !std::all_of(part.begin(), part.end(), isDigit))
            return false;
        const int value = std::stoi(std::string(part));
        if (value > 255)
            return false;
        address = address << 8 | static_cast<uint32_t>(value);
        start = dot + 1;
    }
    if (count != 4)
        return false;
    pieces.push_back(static_cast<uint16_t>(address >> 16));
    pieces.push_back(static_cast<uint16_t>(address & 0xFFFF));
    return true;
}

// The colon-separated groups on one side of "::"; only the very last group
// of the address may be a dotted IPv4 address.
bool readGroups(std::string_view text, bool endsAddress, std::vector<uint16_t>& pieces)
{
    if (text.empty())
        return true;
    for (size_t start = 0;;) {
        const size_t colon = std::min(text.find(':', start), text.size());
        const std::string_view group = text.substr(start, colon - start);
        if (colon == text.size() && endsAddress && group.find('.') != std::string_view::npos)
            return readEmbeddedIpv4(group, pieces);
        if (group.empty() || group.size() > 4)
            return false;
        uint16_t value = 0;
        for (const char c : group) {
            const int digit = digitValue(c, 16);
            if (digit < 0)
                return false;
            value = static_cast<uint16_t>(value << 4 | digit);
        }
        pieces.push_back(value);
        if (colon == text.size())
            return true;
        start = colon + 1;
    }
}

std::optional<Ipv6Pieces> ipv6Address(std::string_view text)
{
    const size_t gap = text.find("::");
    std::vector<uint16_t> head;
    std::vector<uint16_t> tail;
    if (gap == std::string_view::npos) {
        if (!readGroups(text, true, head) || head.size() != 8)
            return std::nullopt;
    } else if (!readGroups(text.substr(0, gap), false, head) || !readGroups(text.substr(gap + 2), true, tail) ||
               head.size() + tail.size() > 7) {
        // "::" stands for at least one zero group.
        return std::nullopt;
    }
    Ipv6Pieces pieces{};
    std::copy(head.begin(), head.end(), pieces.begin());
    std::copy(tail.begin(), tail.end(), pieces.end() - static_cast<std::ptrdiff_t>(tail.size()));
    return pieces;
}

bool refusedIpv6(const Ipv6Pieces& p)
{
    // ::a.b.c.d and ::ffff:a.b.c.d carry an IPv4 address, and a system may
    // well connect to that; "::" and "::1" are among them as 0.0.0.0 and
    // 0.0.0.1.
    if (std::all_of(p.begin(), p.begin() + 5, [](uint16_t piece) { return piece == 0; }) &&
        (p[5] == 0 || p[5] == 0xFFFF))
        return refusedIpv4(uint32_t{p[6]} << 16 | p[7]);
    return (p[0] & 0xFE00) == 0xFC00     // unique local
           || (p[0] & 0xFFC0) == 0xFE80  // link-local
           || (p[0] & 0xFFC0) == 0xFEC0; // the old site-local, still local where honoured
}

// The shortest form, as browsers write it: the first longest run of two or
// more zero groups becomes "::".
std::string ipv6Text(const Ipv6Pieces& p)
{
    int gapStart = -1;
    int gapLength = 1;
    for (int i = 0; i < 8;) {
        int end = i;
        while (end < 8 && p[end] == 0)
            ++end;
        if (end - i > gapLength) {
            gapStart = i;
            gapLength = end - i;
        }
        i = std::max(end, i + 1);
    }
    static constexpr std::string_view kHex = "0123456789abcdef";
    std::string out = "[";
    for (int i = 0; i < 8; ++i) {
        if (i == gapStart) {
            out += "::";
            i += gapLength - 1;
            continue;
        }
        if (i > 0 && out.back() != ':')
            out += ':';
        bool started = false;
        for (int shift = 12; shift >= 0; shift -= 4) {
            const int digit = p[i] >> shift & 0xF;
            started = started || digit != 0 || shift == 0;
            if (started)
                out += kHex[digit];
        }
    }
    return out + "]";
}

// The host as a browser reads it, or nothing when it is malformed or an
// address the run must not reach.
std::optional<std::string> reachableHost(std::string_view text, LoopbackSites loopback)
{
    const auto refused = [loopback](uint32_t address) {
        return refusedIpv4(address) && !(loopback == LoopbackSites::Allowed && (address >> 24) == 127);
    };
    std::string host = lowered(text);
    if (host.starts_with('[')) {
        if (host.size() < 2 || !host.ends_with(']'))
            return std::nullopt;
        const std::optional<Ipv6Pieces> address = ipv6Address(std::string_view(host).substr(1, host.size() - 2));
        if (!address || refusedIpv6(*address))
            return std::nullopt;
        return ipv6Text(*address);
    }
    if (host.ends_with('.'))
        host.pop_back();
    if (host.empty() || !std::all_of(host.begin(), host.end(), hostByte))
        return std::nullopt;
    if (endsInNumber(host)) {
        const std::optional<uint32_t> address = ipv4Address(host);
        if (!address || refused(*address))
            return std::nullopt;
        return ipv4Text(*address);
    }
    if (host.front() == '.' || host.back() == '.' || host.find("..") != std::string::npos)
        return std::nullopt;
    return host;
}

// Leading zeros are allowed, as browsers allow them.
std::optional<uint16_t> portNumber(std::string_view text)
{
    if (text.empty() || !std::all_of(text.begin(), text.end(), isDigit))
        return std::nullopt;
    uint32_t value = 0;
    for (const char c : text)
        value = std::min<uint32_t>(value * 10 + static_cast<uint32_t>(c - '0'), 65536);
    if (value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<uint16_t>(value);
}

bool isLocalhost(std::string_view host) { return host == "localhost" || host.ends_with(".localhost"); }

// The engine's pages, its redirects and its other services all live under
// one domain; none of them is a result's own site.
bool withinEngineDomain(std::string_view host, std::string_view engineHost)
{
    std::string domain = lowered(engineHost);
    if (domain.ends_with('.'))
        domain.pop_back();
    if (domain.starts_with("www."))
        domain.erase(0, 4);
    if (domain.empty())
        return false;
    return host == domain ||
           (host.size() > domain.size() && host.ends_with(domain) && host[host.size() - domain.size() - 1] == '.');
}

bool isWwwOf(std::string_view longer, std::string_view shorter)
{
    return longer.size() == shorter.size() + 4 && longer.starts_with("www.") && longer.substr(4) == shorter;
}

} // namespace

std::optional<SiteAddress> visitableSite(std::string_view url, std::string_view engineHost, LoopbackSites loopback)
{
    if (!std::all_of(url.begin(), url.end(), plainByte))
        return std::nullopt;
    const size_t schemeEnd = url.find("://");
    if (schemeEnd == std::string_view::npos)
        return std::nullopt;
    SiteAddress site;
    site.scheme = lowered(url.substr(0, schemeEnd));
    if (site.scheme == "http")
        site.port = 80;
    else if (site.scheme == "https")
        site.port = 443;
    else
        return std::nullopt;
    const uint16_t defaultPort = site.port;

    const std::string_view rest = url.substr(schemeEnd + 3);
    const size_t authorityEnd = std::min(rest.find_first_of("/?#"), rest.size());
    const std::string_view authority = rest.substr(0, authorityEnd);
    if (authority.find('@') != std::string_view::npos)
        return std::nullopt;
    // A colon inside brackets belongs to the IPv6 address, not to the port.
    const size_t hostEnd = authority.starts_with('[') ? std::min(authority.find(']'), authority.size() - 1) + 1
                                                      : std::min(authority.find(':'), authority.size());
    if (hostEnd < authority.size()) {
        if (authority[hostEnd] != ':')
            return std::nullopt;
        const std::optional<uint16_t> port = portNumber(authority.substr(hostEnd + 1));
        if (!port)
            return std::nullopt;
        site.port = *port;
    }

    std::optional<std::string> host = reachableHost(authority.substr(0, hostEnd), loopback);
    if (!host || isLocalhost(*host) || withinEngineDomain(*host, engineHost))
        return std::nullopt;
    site.host = std::move(*host);

    site.url = site.scheme + "://" + site.host;
    if (site.port != defaultPort)
        site.url += ":" + std::to_string(site.port);
    site.url += rest.substr(authorityEnd);
    return site;
}

std::string landingAddress(std::string_view muAttribute, std::string_view titleHref, std::string_view engineHost,
                           LoopbackSites loopback)
{
    for (const std::string_view candidate : {muAttribute, titleHref})
        if (const std::optional<SiteAddress> site = visitableSite(candidate, engineHost, loopback))
            return site->url;
    return {};
}

bool sameSite(const SiteAddress& a, const SiteAddress& b)
{
    return a.host == b.host || isWwwOf(a.host, b.host) || isWwwOf(b.host, a.host);
}

} // namespace vellumax
