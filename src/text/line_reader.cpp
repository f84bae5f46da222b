#include "text/line_reader.h"

#include "text/file_errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {
namespace {
constexpr size_t kBufferSize = 64 * 1024;
constexpr char kCtrlZ = 26;
} // namespace

LineReader::LineReader(const std::string& path) : buffer_(kBufferSize)
{
    fd_.reset(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd_)
        throwFileError(errno);
    struct stat st {};
    if (::fstat(fd_.get(), &st) == 0 && S_ISDIR(st.st_mode))
        throwFileError(EISDIR);
}

bool LineReader::fill()
{
    if (physicalEnd_)
        return false;
    for (;;) {
        ssize_t n = ::read(fd_.get(), buffer_.data(), buffer_.size());
        if (n > 0) {
            pos_ = 0;
            end_ = static_cast<size_t>(n);
            return true;
        }
        if (n == 0) {
            physicalEnd_ = true;
            return false;
        }
        if (errno != EINTR)
            throwFileError(errno);
    }
}

bool LineReader::atEnd()
{
    if (softEnd_)
        return true;
    if (pos_ == end_ && !fill())
        return true;
    if (buffer_[pos_] == kCtrlZ) {
        softEnd_ = true;
        return true;
    }
    return false;
}

std::string LineReader::readLine()
{
    std::string line;
    readLine(line);
    return line;
}

void LineReader::readLine(std::string& line)
{
    line.clear();
    if (atEnd())
        return;
    for (;;) {
        if (pos_ == end_ && !fill())
            break;
        const char* start = buffer_.data() + pos_;
        const size_t available = end_ - pos_;
        const void* lf = std::memchr(start, '\n', available);
        const size_t take = lf ? static_cast<size_t>(static_cast<const char*>(lf) - start) : available;
        line.append(start, take);
        pos_ += take;
        if (lf) {
            ++pos_; // the LF itself
            break;
        }
    }
    // CR LF ends the line and a lone CR is dropped, so no CR survives.
    if (line.find('\r') != std::string::npos)
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
}

} // namespace vellumax
