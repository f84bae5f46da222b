#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vellumax {

// Whether addresses on this machine's loopback (127.0.0.0/8) may be opened:
// only the tests' stand-in sites live there, and only a constructor argument
// of theirs says so, never an option of the user's.
enum class LoopbackSites { Refused, Allowed };

// A web site the run may open, read off a result page.
struct SiteAddress {
    // What the browser is given: the scheme, the host as below, the port only
    // when it is not the scheme's default, then the path, query and fragment
    // exactly as found. The host is written in the form it was checked in, so
    // the browser cannot read it as a different one.
    std::string url;
    std::string scheme; // "http" or "https"
    // Lower case, without a trailing dot. An IPv4 address is in dotted
    // decimal, an IPv6 address in brackets and in its shortest form.
    std::string host;
    uint16_t port = 0; // the scheme's default when the URL names none

    // What loads to one server are counted by: the host alone. The same name
    // over http and https, or on another port, is most likely the same
    // machine, and it is the machine that must not get two pages at once.
    const std::string& hostKey() const { return host; }
};

// The site an absolute http or https URL leads to, or nothing when the run
// must not go there: the engine's own domain (`engineHost` without a leading
// "www.", and all its subdomains), localhost, a loopback, private,
// link-local, shared or unspecified IP address, a port outside 1..65535.
// The host is read the way a browser reads it (an IPv4 address may be
// written "2130706433", "0x7f.1" or "0177.0.0.1."), so that no spelling of a
// refused address gets through. Forms a result page has no reason to use are
// refused outright: anything but printable ASCII, blanks, backslashes, user
// names before an "@", percent escapes in the host, empty labels.
std::optional<SiteAddress> visitableSite(std::string_view url, std::string_view engineHost,
                                         LoopbackSites loopback = LoopbackSites::Refused);

// Where a result block leads: its `mu` attribute when that is a site the run
// may open, else its title link when that is one (a link through the
// engine's redirect is not), else "". Both as the page's DOM gives them, with
// entities decoded. The answer is the site's `url`.
std::string landingAddress(std::string_view muAttribute, std::string_view titleHref, std::string_view engineHost,
                           LoopbackSites loopback = LoopbackSites::Refused);

// Whether a link found on one site stays on it: the same host, or one host
// is the other with "www." before it. Scheme and port do not matter.
bool sameSite(const SiteAddress& a, const SiteAddress& b);

} // namespace vellumax
