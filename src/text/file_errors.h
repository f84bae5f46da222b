#pragma once

#include <optional>
#include <string>

namespace vellumax {

// Numbers of the file layer's own messages. A Linux errno is mapped onto them
// by its cause, never taken for one of them by its value.
enum FileErrorCode : int {
    kFileNotFound = 2,
    kInvalidFilename = 3,
    kTooManyOpenFiles = 4,
    kFileAccessDenied = 5,
    kReadBeyondEnd = 100,
    kDiskFull = 101,
    kInvalidNumericInput = 106,
};

// The message shown for a failure of the line reader or the line writer:
// "File not found", "Disk full", ... and "I/O error %d" for any other number.
std::string fileErrorMessage(int code);

// Maps a Linux errno onto the numbers above, or nothing for an errno without
// a message of its own:
//   ENOENT                          -> 2  File not found
//   ENAMETOOLONG, ENOTDIR, EINVAL,
//   EILSEQ, ELOOP                   -> 3  Invalid filename
//   EMFILE, ENFILE                  -> 4  Too many open files
//   EACCES, EPERM, EROFS, EISDIR,
//   ETXTBSY                         -> 5  File access denied
//   ENOSPC, EDQUOT, EFBIG           -> 101 Disk full
//   anything else                   -> nothing
std::optional<int> fileErrorCodeFromErrno(int err);

// Throws FileError for the given errno: with the message of its number as
// mapped above, or "I/O error %d" with the errno itself (EIO: "I/O error 5").
[[noreturn]] void throwFileError(int err);

// Whole-file failures (keyword list load, merge). `path` is the platform's
// (UTF-8) file name; the messages come back as GBK bytes.
std::string cannotOpenFileMessage(const std::string& path);
std::string cannotCreateFileMessage(const std::string& path);
inline constexpr const char* kStreamReadError = "Stream read error";
inline constexpr const char* kStreamWriteError = "Stream write error";

} // namespace vellumax
