#include "text/error_box.h"

namespace vellumax {
namespace {

bool isGbkLeadByte(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

} // namespace

std::string errorBoxText(std::string_view message)
{
    std::string text(message);
    if (message.empty())
        return text;
    size_t last = 0;
    for (size_t i = 0; i < message.size();) {
        last = i;
        i += (isGbkLeadByte(static_cast<unsigned char>(message[i])) && i + 1 < message.size()) ? 2 : 1;
    }
    if (static_cast<unsigned char>(message[last]) > static_cast<unsigned char>('.'))
        text += '.';
    return text;
}

} // namespace vellumax
