#pragma once

#include <functional>
#include <gtest/gtest.h>
#include <string>
#include <unistd.h>

namespace vellumax::test {

// Runs `body` in a forked child and returns the text it reports (or a note
// that it crashed). Permission bits do not stop root, so fault tests that
// need a refusal run their body through these.

// After `prepare` (which may end the child with _exit when it cannot do its
// part).
std::string runInChild(const std::function<void()>& prepare, const std::function<std::string()>& body);

// As the unprivileged user "nobody" (uid and gid 65534).
std::string runAsNobody(const std::function<std::string()>& body);

// With the file-size limit set to `bytes`, so that writing past it fails as
// a full disk would.
std::string runWithFileSizeLimit(long bytes, const std::function<std::string()>& body);

} // namespace vellumax::test

// Refusals by permission bits can only be shown by a root test that hands the
// attempt to "nobody"; run as anyone else, such a test has nothing to show.
#define VELLUMAX_SKIP_UNLESS_ROOT()                                                                                  \
    do {                                                                                                               \
        if (::geteuid() != 0)                                                                                          \
            GTEST_SKIP() << "needs root, to try the file as the unprivileged user nobody";                            \
    } while (0)
