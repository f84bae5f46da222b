#pragma once

#include <string>

namespace vellumax {

// The folder of the running executable, ending in "/". It holds the settings
// file and the progress snapshot.
std::string executableFolder();

} // namespace vellumax
