#pragma once

#include <functional>
#include <string>

namespace vellumax::test {

// Runs `body` in a forked child and returns the text it reports (or a note
// that it crashed). Permission bits do not stop root, so fault tests that
// need a refusal run their body through these.

// As the unprivileged user "nobody" (uid and gid 65534).
std::string runAsNobody(const std::function<std::string()>& body);

// With the file-size limit set to `bytes`, so that writing past it fails as
// a full disk would.
std::string runWithFileSizeLimit(long bytes, const std::function<std::string()>& body);

} // namespace vellumax::test
