#pragma once

#include "numbers/number_classifier.h"

#include <optional>
#include <string>
#include <vector>

namespace vellumax {

// Which numbers a filter lets through. Every condition given must hold; an
// empty filter lets every number through.
struct NumberFilter {
    bool validOnly = false;
    // Fixed lines or mobiles; the library's "fixed line or mobile" counts
    // as either.
    enum class Kind { Fixed, Mobile };
    std::optional<Kind> kind;
    // The region must contain one of these texts (GBK); none means any
    // region, the empty one included.
    std::vector<std::string> regionParts;

    bool passes(const NumberFacts& facts) const;
};

} // namespace vellumax
