#pragma once

#include "text/unique_fd.h"

#include <cstddef>
#include <string>

namespace vellumax {

// A file opened to be read whole: its size is known, and it is closed when
// this goes. A file that cannot be opened, or a folder, throws Error with
// "Cannot open file %s".
class WholeFile {
public:
    explicit WholeFile(const std::string& path);
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;

    int fd() const { return fd_.get(); }
    size_t size() const { return size_; }

private:
    UniqueFd fd_;
    size_t size_ = 0;
};

} // namespace vellumax
