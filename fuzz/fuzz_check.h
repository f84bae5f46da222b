#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

// Stops the fuzzer with a report when an invariant does not hold, so that
// the input is kept as a crash.
#define FUZZ_CHECK(cond)                                                                        \
    do {                                                                                        \
        if (!(cond)) {                                                                          \
            std::fprintf(stderr, "%s:%d: invariant failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                       \
        }                                                                                       \
    } while (0)

namespace vellumax::fuzz {

inline std::string_view bytesOf(const uint8_t* data, size_t size)
{
    return {reinterpret_cast<const char*>(data), size};
}

} // namespace vellumax::fuzz
