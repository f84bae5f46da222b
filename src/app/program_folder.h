#pragma once

#include <string>

namespace vellumax {

// Where the program keeps its settings file and progress snapshot, ending in
// "/": its own folder when it may write there (a build tree, a portable
// copy), else the user's data folder, created when missing. An installed
// program's folder belongs to root, and settings written there would be
// lost without a word.
std::string programFilesFolder();

} // namespace vellumax
