#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The name a site's robots.txt calls this program by, in any case.
inline constexpr std::string_view kRobotsProductToken = "vellumax";

// Only this much of a robots.txt is read: a site that sends more is not
// writing rules for crawlers, and the run must not hold a huge body.
inline constexpr size_t kRobotsBodyLimit = 500 * 1024;

// What a site's robots.txt lets this program fetch. The rules come from the
// groups that name the program, or, when none does, from the `*` groups; a
// path is judged by the longest rule that matches it, an Allow winning a tie,
// and is allowed when none matches. /robots.txt itself is always allowed.
class RobotsRules {
public:
    // Allows everything, as for a site without a robots.txt.
    RobotsRules() = default;

    // The rules an answer to the request for /robots.txt gives. Status 0 is
    // no answer or a time-out. A site that fails to answer (5xx, none at all)
    // may be overloaded or hiding its rules, so it is left alone for the run;
    // one that says there are none (3xx after the browser's redirects, 4xx
    // including 401 and 403) allows everything.
    static RobotsRules fromAnswer(int httpStatus, std::string_view body);

    // The rules of a robots.txt body, taken as bytes in any encoding.
    static RobotsRules parse(std::string_view body);

    // `pathAndQuery` starts with "/", as in the request line.
    bool allows(std::string_view pathAndQuery) const;

    // Nothing on the host may be fetched but /robots.txt.
    bool leavesHostAlone() const { return leavesHostAlone_; }

private:
    struct Rule {
        std::string pattern; // percent-encoding made canonical, without the final `$`
        bool anchoredAtEnd;
        bool allow;
        size_t writtenLength; // what the longest-match rule weighs
    };

    std::vector<Rule> rules_;
    bool leavesHostAlone_ = false;
};

} // namespace vellumax
