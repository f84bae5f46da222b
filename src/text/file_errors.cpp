#include "text/file_errors.h"

#include "text/error.h"
#include "text/gbk_codec.h"

#include <cerrno>

namespace vellumax {

std::string fileErrorMessage(int code)
{
    switch (code) {
    case kFileNotFound:
        return "File not found";
    case kInvalidFilename:
        return "Invalid filename";
    case kTooManyOpenFiles:
        return "Too many open files";
    case kFileAccessDenied:
        return "File access denied";
    case kReadBeyondEnd:
        return "Read beyond end of file";
    case kDiskFull:
        return "Disk full";
    case kInvalidNumericInput:
        return "Invalid numeric input";
    default:
        return "I/O error " + std::to_string(code);
    }
}

std::optional<int> fileErrorCodeFromErrno(int err)
{
    switch (err) {
    case ENOENT:
        return kFileNotFound;
    case ENAMETOOLONG:
    case ENOTDIR:
    case EINVAL:
    case EILSEQ:
    case ELOOP:
        return kInvalidFilename;
    case EMFILE:
    case ENFILE:
        return kTooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
        return kFileAccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return kDiskFull;
    default:
        return std::nullopt;
    }
}

void throwFileError(int err)
{
    // An errno without a message of its own is shown by its number; going
    // through the table would give EIO (5) the message of the file layer's 5.
    if (const std::optional<int> code = fileErrorCodeFromErrno(err))
        throw FileError(*code, fileErrorMessage(*code));
    throw FileError(err, "I/O error " + std::to_string(err));
}

std::string cannotOpenFileMessage(const std::string& path) { return "Cannot open file " + gbkFromUtf8(path); }

std::string cannotCreateFileMessage(const std::string& path) { return "Cannot create file " + gbkFromUtf8(path); }

} // namespace vellumax
