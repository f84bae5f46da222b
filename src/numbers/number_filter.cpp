#include "numbers/number_filter.h"

#include "text/gbk_codec.h"

#include <algorithm>

namespace vellumax {

bool NumberFilter::passes(const NumberFacts& facts) const
{
    if (validOnly && !facts.valid)
        return false;
    if (kind) {
        const NumberKind wanted = *kind == Kind::Fixed ? NumberKind::FixedLine : NumberKind::Mobile;
        if (facts.kind != wanted && facts.kind != NumberKind::FixedLineOrMobile)
            return false;
    }
    if (!regionParts.empty()) {
        // Compared as UTF-8: a GBK byte search could find a part straddling
        // two characters of the region.
        const std::string region = utf8FromGbk(facts.region);
        const bool found = std::any_of(regionParts.begin(), regionParts.end(), [&](const std::string& part) {
            return !part.empty() && region.find(utf8FromGbk(part)) != std::string::npos;
        });
        if (!found)
            return false;
    }
    return true;
}

} // namespace vellumax
