#pragma once

#include <cerrno>
#include <unistd.h>
#include <utility>

namespace vellumax {

// The one owner of a file descriptor: it is closed when the owner goes, on
// every way out, a throw included. A failed close is never retried: Linux
// frees the descriptor even when close reports EINTR, and a second close
// could hit a descriptor another thread has opened meanwhile.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) noexcept : fd_(fd) {}
    ~UniqueFd() { reset(); }

    UniqueFd(UniqueFd&& other) noexcept : fd_(other.release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        reset(other.release());
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const noexcept { return fd_; }
    explicit operator bool() const noexcept { return fd_ >= 0; }

    // Hands the descriptor over to the caller, who closes it.
    int release() noexcept { return std::exchange(fd_, -1); }

    void reset(int fd = -1) noexcept
    {
        if (const int old = std::exchange(fd_, fd); old >= 0)
            ::close(old);
    }

    // Closes now and says how that went: 0, or the errno of the failed
    // close. After writing, a failed close can mean the data never got out.
    // The descriptor is gone either way.
    int close() noexcept
    {
        const int fd = release();
        return fd < 0 || ::close(fd) == 0 ? 0 : errno;
    }

private:
    int fd_ = -1;
};

} // namespace vellumax
