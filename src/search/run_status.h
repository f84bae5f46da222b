#pragma once

#include "search/page_source.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vellumax {

// What a search run is doing, as it changes: each shell says it in its own
// place (the window's message panel, the search program's progress line).
struct RunStatus {
    enum class Kind {
        Starting,
        Searching,
        // A page failed to load (or the engine asked for verification where
        // nobody can give it): it is asked for again after a wait.
        Retrying,
        // The engine asks for verification in the page shown; the run waits
        // for the user.
        AwaitingVerification,
        Verified,
        // The next request to the engine waits for the results' own sites,
        // which have more results waiting than they may.
        WaitingForSites,
        // The last page is read; the run ends once its sites are.
        FinishingSites,
        Finished,
    };
    Kind kind = Kind::Starting;
    // Retrying: how the failed load went, the how-manieth failure in a row
    // it was, the wait before the next try and the time it began.
    PageLoad load;
    int failures = 0;
    int64_t waitMs = 0;
    int64_t nowUnixMs = 0;
    // WaitingForSites, FinishingSites: the sites' pages waiting and loading.
    size_t sitesWaiting = 0;
};

// The status as the message panel says it (GBK); a retry gives its reason,
// the try and the time of day of the next one.
std::string statusText(const RunStatus& status);

} // namespace vellumax
