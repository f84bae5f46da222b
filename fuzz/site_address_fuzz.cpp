// Addresses read off result pages: any bytes either give a site the run may
// open or nothing. The first byte picks the engine's host; the rest is the
// address. A site is never local, never the engine's, and reading its url
// again gives the same site, so the browser loads the host that was checked.
#include "fuzz_check.h"
#include "search/site_address.h"

#include <array>
#include <string>

using namespace vellumax;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static constexpr std::array<std::string_view, 4> kEngines = {"www.baidu.com", "baidu.com.", "WWW.Example.COM", ""};
    if (size == 0)
        return 0;
    const std::string_view engine = kEngines[data[0] % kEngines.size()];
    const std::string_view url = fuzz::bytesOf(data + 1, size - 1);

    const std::optional<SiteAddress> site = visitableSite(url, engine);
    FUZZ_CHECK(landingAddress(url, "", engine) == (site ? site->url : ""));
    FUZZ_CHECK(landingAddress("", url, engine) == (site ? site->url : ""));
    if (!site)
        return 0;

    const std::string& host = site->host;
    FUZZ_CHECK(site->scheme == "http" || site->scheme == "https");
    FUZZ_CHECK(!host.empty() && host != "localhost" && !host.ends_with(".localhost") && !host.ends_with('.'));
    if (host.find_first_not_of("0123456789.") == std::string::npos)
        for (const std::string_view local : {"127.", "10.", "0.", "192.168.", "169.254."})
            FUZZ_CHECK(!host.starts_with(local));
    FUZZ_CHECK(host != "[::1]" && host != "[::]");
    if (engine.find("baidu") != std::string_view::npos)
        FUZZ_CHECK(host != "baidu.com" && !host.ends_with(".baidu.com"));
    FUZZ_CHECK(site->port != 0);
    FUZZ_CHECK(site->url.starts_with(site->scheme + "://" + host));
    FUZZ_CHECK(sameSite(*site, *site));

    const std::optional<SiteAddress> again = visitableSite(site->url, engine);
    FUZZ_CHECK(again);
    FUZZ_CHECK(again->url == site->url && again->host == host && again->port == site->port &&
               again->scheme == site->scheme);
    // Without an engine nothing is refused for being the engine's.
    FUZZ_CHECK(visitableSite(url, ""));
    return 0;
}
