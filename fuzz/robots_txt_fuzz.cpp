// A robots.txt as any site may send it, the path asked about being its last
// line: no bytes crash the reader or make it forbid /robots.txt, and the
// answer does not depend on whether the lines end in LF or CR LF.
#include "fuzz_check.h"
#include "search/robots_rules.h"

#include <string>

using namespace vellumax;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view body = fuzz::bytesOf(data, size);
    const size_t lastLineEnd = body.find_last_of("\r\n");
    const std::string_view path = lastLineEnd == std::string_view::npos ? body : body.substr(lastLineEnd + 1);

    const RobotsRules rules = RobotsRules::parse(body);
    const bool allowed = rules.allows(path);
    FUZZ_CHECK(rules.allows("/robots.txt"));
    FUZZ_CHECK(!rules.leavesHostAlone());
    FUZZ_CHECK(RobotsRules::fromAnswer(200, body).allows(path) == allowed);

    std::string crlf;
    for (const char c : body) {
        if (c == '\n')
            crlf += '\r';
        crlf += c;
    }
    if (crlf.size() <= kRobotsBodyLimit)
        FUZZ_CHECK(RobotsRules::parse(crlf).allows(path) == allowed);
    return 0;
}
