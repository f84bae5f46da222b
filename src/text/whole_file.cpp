#include "text/whole_file.h"

#include "text/error.h"
#include "text/file_errors.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace vellumax {

WholeFile::WholeFile(const std::string& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC))
{
    if (!fd_)
        throw Error(cannotOpenFileMessage(path));
    struct stat st {};
    if (::fstat(fd_.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(cannotOpenFileMessage(path));
    size_ = static_cast<size_t>(st.st_size);
}

} // namespace vellumax
