#include "text/line_writer.h"

#include "text/file_errors.h"
#include "text/write_all.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr size_t kFlushSize = 64 * 1024;

// The mode a file created by open() would get: 0666 less the umask. The
// umask is read from /proc, never set: setting it, even for a moment, would
// change it for every thread of the program, and the browser engine's
// threads create files of their own. When it cannot be read, the file keeps
// the private mode of the temporary file.
mode_t creationMode()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("Umask:", 0) != 0)
            continue;
        unsigned long mask = 0;
        if (std::sscanf(line.c_str() + 6, "%lo", &mask) != 1)
            break;
        return 0666 & ~static_cast<mode_t>(mask);
    }
    return 0600;
}

// The folder part of `path`, with its separator, or "" for a bare name.
std::string folderOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string nameOf(const std::string& path)
{
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

} // namespace

LineWriter::LineWriter(const std::string& path) : target_(path)
{
    // Write through a link to the file it names, so the link survives.
    if (char resolved[PATH_MAX]; ::realpath(path.c_str(), resolved) != nullptr)
        target_ = resolved;

    struct stat st {};
    const bool exists = ::stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throwFileError(EISDIR);
    if (exists && !S_ISREG(st.st_mode)) {
        fd_.reset(::open(target_.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC));
        if (!fd_)
            throwFileError(errno);
        return;
    }
    // A file the user may not write stays as it is, as it would if it were
    // rewritten in place.
    if (exists && ::access(target_.c_str(), W_OK) != 0)
        throwFileError(errno);

    temporary_ = folderOf(target_) + "." + nameOf(target_) + ".XXXXXX";
    fd_.reset(::mkostemp(temporary_.data(), O_CLOEXEC));
    if (!fd_) {
        const int err = errno;
        temporary_.clear();
        throwFileError(err);
    }
    ::fchmod(fd_.get(), exists ? (st.st_mode & 07777) : creationMode());
    buffer_.reserve(kFlushSize + 64);
}

LineWriter::~LineWriter() { discard(); }

void LineWriter::discard() noexcept
{
    fd_.reset();
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

void LineWriter::writeLine(std::string_view line)
{
    buffer_.append(line);
    buffer_.append("\r\n");
    if (buffer_.size() >= kFlushSize)
        flush();
}

void LineWriter::flush()
{
    try {
        writeAll(fd_.get(), buffer_);
    } catch (...) {
        discard();
        throw;
    }
    buffer_.clear();
}

void LineWriter::commit()
{
    if (!fd_)
        return;
    flush();
    if (temporary_.empty()) {
        if (const int err = fd_.close(); err != 0)
            throwFileError(err);
        return;
    }
    // The data must be on disk before the name moves, or a crash could leave
    // an empty file where the good one was.
    const int synced = ::fdatasync(fd_.get()) == 0 ? 0 : errno;
    const int closed = fd_.close();
    if (synced != 0 || closed != 0) {
        discard();
        throwFileError(synced != 0 ? synced : closed);
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        const int err = errno;
        discard();
        throwFileError(err);
    }
    temporary_.clear();
}

void writeLinesFile(const std::string& path, const std::vector<std::string>& lines)
{
    LineWriter writer(path);
    for (const std::string& line : lines)
        writer.writeLine(line);
    writer.commit();
}

} // namespace vellumax
