#include "text/local_time.h"

#include <ctime>

namespace vellumax {

std::string localTimeText(int64_t unixMs, const char* format)
{
    const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
    std::tm local{};
    char text[64] = "";
    if (localtime_r(&seconds, &local))
        std::strftime(text, sizeof text, format, &local);
    return text;
}

} // namespace vellumax
