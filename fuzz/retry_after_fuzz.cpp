// A Retry-After value as an engine may send it: any bytes give a wait that is
// never negative, and a later clock never asks for a longer one.
#include "fuzz_check.h"
#include "search/retry_after.h"

using namespace vellumax;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    constexpr int64_t now = 1'800'000'000'000;
    const std::optional<int64_t> wait = retryAfterWaitMs(text, now);
    const std::optional<int64_t> later = retryAfterWaitMs(text, now + 5000);
    FUZZ_CHECK(wait.has_value() == later.has_value());
    if (wait) {
        FUZZ_CHECK(*wait >= 0 && *later >= 0);
        FUZZ_CHECK(*later <= *wait && *wait - *later <= 5000);
    }
    return 0;
}
