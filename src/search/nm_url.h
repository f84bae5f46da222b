#pragma once

#include <functional>
#include <string>

namespace vellumax {

// URL encoder for the query string. Blanks become "+", ASCII digits and
// letters stay, every other byte becomes "%" and two upper-case hex digits.
// Bytes are escaped one by one: there is no character-set conversion.
// Input of any length is encoded whole; nothing is cut off.
class TNMURL {
public:
    using TOnErrorEvent =
        std::function<void(TNMURL& sender, const std::string& operation, const std::string& errMsg)>;

    std::string InputString;
    TOnErrorEvent OnError;

    // Computed afresh on every read. Should encoding fail, InputString comes
    // back unchanged, after OnError (when assigned) is told
    // "Error during encode".
    std::string EncodedInput();
};

} // namespace vellumax
