#pragma once

#include <stdexcept>
#include <string>

namespace vellumax {

// A failure that ends the command it happens in. The message is GBK bytes,
// like every text of the program, and is what the error box shows.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A failure of the line reader or the line writer. `code` is the number the
// message was chosen by (see file_errors.h).
class FileError : public Error {
public:
    FileError(int code, const std::string& message) : Error(message), code_(code) {}
    int code() const noexcept { return code_; }

private:
    int code_;
};

} // namespace vellumax
