#include "search/nm_url.h"

#include <exception>

namespace vellumax {
namespace {

bool passesUnescaped(unsigned char byte)
{
    return (byte >= '0' && byte <= '9') || (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z');
}

std::string encode(const std::string& input)
{
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(input.size() * 3);
    for (const char c : input) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte == ' ') {
            out += '+';
        } else if (passesUnescaped(byte)) {
            out += c;
        } else {
            const char escape[3] = {'%', kHex[byte >> 4], kHex[byte & 0x0F]};
            out.append(escape, 3);
        }
    }
    return out;
}

} // namespace

std::string TNMURL::EncodedInput()
{
    try {
        return encode(InputString);
    } catch (const std::exception& e) {
        if (OnError)
            OnError(*this, "Error during encode", e.what());
        return InputString;
    }
}

} // namespace vellumax
