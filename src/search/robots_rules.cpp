#include "search/robots_rules.h"

#include "text/bytes.h"

#include <utility>

namespace vellumax {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char asciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool equalsIgnoringCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    c = asciiLower(c);
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isUnreserved(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
           c == '_' || c == '~';
}

// One spelling for every way of writing the same path, so that rules and
// paths compare byte for byte: "%7e", "%7E" and "~" all become "~", other
// escapes get upper-case digits, and the raw bytes a browser would escape (a
// site writes its rules in whatever encoding it likes) are escaped. `*` stays
// as it is: in a rule it is the wildcard.
std::string canonicalPath(std::string_view s)
{
    static constexpr char kHexDigits[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(s.size());
    const auto escape = [&](unsigned char c) {
        out += '%';
        out += kHexDigits[c >> 4];
        out += kHexDigits[c & 0xF];
    };
    for (size_t i = 0; i < s.size(); ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '%' && i + 2 < s.size() && hexValue(s[i + 1]) >= 0 && hexValue(s[i + 2]) >= 0) {
            const auto decoded = static_cast<unsigned char>(hexValue(s[i + 1]) * 16 + hexValue(s[i + 2]));
            if (isUnreserved(decoded))
                out += static_cast<char>(decoded);
            else
                escape(decoded);
            i += 2;
        } else if (c <= ' ' || c >= 0x7F) {
            escape(c);
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

// Whether `pattern` matches `text` from its start, `*` standing for any run
// of bytes; without `anchoredAtEnd` a match of a prefix of `text` will do.
// On a mismatch the last `*` takes one more byte and the rest is tried again:
// quadratic at worst, never exponential, whatever a site writes.
bool matches(std::string_view pattern, bool anchoredAtEnd, std::string_view text)
{
    size_t p = 0, t = 0;
    size_t lastStar = std::string_view::npos, textAtStar = 0;
    while (t < text.size()) {
        if (p == pattern.size() && !anchoredAtEnd)
            return true;
        if (p < pattern.size() && pattern[p] == '*') {
            lastStar = p++;
            textAtStar = t;
        } else if (p < pattern.size() && pattern[p] == text[t]) {
            ++p;
            ++t;
        } else if (lastStar != std::string_view::npos) {
            p = lastStar + 1;
            t = ++textAtStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*')
        ++p;
    return p == pattern.size();
}

} // namespace

RobotsRules RobotsRules::fromAnswer(int httpStatus, std::string_view body)
{
    if (httpStatus >= 200 && httpStatus <= 299)
        return parse(body);
    if (httpStatus >= 300 && httpStatus <= 499)
        return {};
    // A status no server should send is no more an answer than a 5xx.
    RobotsRules rules;
    rules.leavesHostAlone_ = true;
    return rules;
}

RobotsRules RobotsRules::parse(std::string_view body)
{
    if (body.size() > kRobotsBodyLimit) {
        const bool cutMidLine = body[kRobotsBodyLimit] != '\n' && body[kRobotsBodyLimit] != '\r';
        body = body.substr(0, kRobotsBodyLimit);
        // Half a path would allow or forbid more than the site meant.
        if (cutMidLine) {
            const size_t lastLineEnd = body.find_last_of("\r\n");
            body = body.substr(0, lastLineEnd == std::string_view::npos ? 0 : lastLineEnd + 1);
        }
    }
    if (body.starts_with(kByteOrderMark))
        body.remove_prefix(kByteOrderMark.size());

    RobotsRules rules;
    std::vector<Rule> anyAgentRules;
    bool someGroupNamesUs = false;
    bool afterUserAgent = false;
    // Rules before the first user-agent line belong to no one.
    bool groupNamesUs = false, groupNamesAnyAgent = false;
    while (!body.empty()) {
        const size_t lineEnd = body.find_first_of("\r\n");
        // A CR LF ends a line and an empty one, which means nothing.
        std::string_view line = body.substr(0, lineEnd);
        body.remove_prefix(lineEnd == std::string_view::npos ? body.size() : lineEnd + 1);

        line = line.substr(0, line.find('#'));
        const size_t colon = line.find(':');
        if (colon == std::string_view::npos)
            continue;
        const std::string_view field = trimmedBlanks(line.substr(0, colon));
        const std::string_view value = trimmedBlanks(line.substr(colon + 1));

        const bool allow = equalsIgnoringCase(field, "allow");
        if (equalsIgnoringCase(field, "user-agent")) {
            if (!afterUserAgent)
                groupNamesUs = groupNamesAnyAgent = false;
            afterUserAgent = true;
            if (equalsIgnoringCase(value, kRobotsProductToken))
                groupNamesUs = someGroupNamesUs = true;
            else if (value == "*")
                groupNamesAnyAgent = true;
        } else if (allow || equalsIgnoringCase(field, "disallow")) {
            afterUserAgent = false;
            // An empty Disallow is how a site says "nothing"; an empty Allow
            // would only ever win where no rule matches anyway.
            if (value.empty())
                continue;
            const bool anchoredAtEnd = value.ends_with('$');
            Rule rule{canonicalPath(anchoredAtEnd ? value.substr(0, value.size() - 1) : value), anchoredAtEnd, allow,
                      value.size()};
            if (groupNamesAnyAgent)
                anyAgentRules.push_back(rule);
            if (groupNamesUs)
                rules.rules_.push_back(std::move(rule));
        }
    }
    if (!someGroupNamesUs)
        rules.rules_ = std::move(anyAgentRules);
    return rules;
}

bool RobotsRules::allows(std::string_view pathAndQuery) const
{
    const std::string path = canonicalPath(pathAndQuery);
    if (path == "/robots.txt")
        return true;
    if (leavesHostAlone_)
        return false;
    const auto outweighs = [](const Rule& rule, const Rule* best) {
        return !best || rule.writtenLength > best->writtenLength ||
               (rule.writtenLength == best->writtenLength && rule.allow && !best->allow);
    };
    const Rule* best = nullptr;
    for (const Rule& rule : rules_) {
        if (outweighs(rule, best) && matches(rule.pattern, rule.anchoredAtEnd, path))
            best = &rule;
    }
    return !best || best->allow;
}

} // namespace vellumax
