#include "run/number_output.h"

#include "text/error.h"
#include "text/file_errors.h"
#include "text/text_splitter.h"
#include "text/write_all.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {

NumberOutput::NumberOutput(const std::string& path) : path_(path)
{
    if (path == "-") {
        fd_ = STDOUT_FILENO;
        return;
    }
    file_.reset(::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666));
    if (!file_)
        throw Error(cannotCreateFileMessage(path));
    fd_ = file_.get();
    struct stat st {};
    regularFile_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
    if (!regularFile_ || st.st_size == 0)
        return;
    const std::string bytes = readWholeFile(path);
    for (std::string& line : splitText(bytes)) {
        if (!line.empty())
            existing_.push_back(std::move(line));
    }
    endOpenLine_ = !bytes.empty() && bytes.back() != '\n' && bytes.back() != '\r';
}

void NumberOutput::append(const std::vector<std::string>& numbers)
{
    if (numbers.empty())
        return;
    std::string bytes = endOpenLine_ ? "\r\n" : "";
    for (const std::string& number : numbers)
        bytes += number + "\r\n";
    writeAll(fd_, bytes);
    endOpenLine_ = false;
    if (regularFile_ && ::fdatasync(fd_) != 0)
        throwFileError(errno);
}

} // namespace vellumax
