// Every file-error path that Linux can produce for the line reader and the
// whole-file load, and the mapping table itself.
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/line_reader.h"
#include "text/text_splitter.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace vellumax {
namespace {

std::string readerFailure(const std::string& path)
{
    try {
        LineReader reader(path);
        reader.readLine();
        return "no error";
    } catch (const FileError& e) {
        return e.what();
    }
}

TEST(FileErrors, MessagesByNumber)
{
    EXPECT_EQ(fileErrorMessage(2), "File not found");
    EXPECT_EQ(fileErrorMessage(3), "Invalid filename");
    EXPECT_EQ(fileErrorMessage(4), "Too many open files");
    EXPECT_EQ(fileErrorMessage(5), "File access denied");
    EXPECT_EQ(fileErrorMessage(100), "Read beyond end of file");
    EXPECT_EQ(fileErrorMessage(101), "Disk full");
    EXPECT_EQ(fileErrorMessage(106), "Invalid numeric input");
    EXPECT_EQ(fileErrorMessage(32), "I/O error 32");
}

std::string messageForErrno(int err)
{
    try {
        throwFileError(err);
    } catch (const FileError& e) {
        return e.what();
    }
}

TEST(FileErrors, MessagesByErrno)
{
    struct Case {
        int err;
        const char* message;
    };
    // The errnos whose values are the file layer's own numbers must not take
    // those numbers' messages.
    const Case cases[] = {
        {ENOENT, "File not found"},         {ENAMETOOLONG, "Invalid filename"}, {ENOTDIR, "Invalid filename"},
        {EMFILE, "Too many open files"},    {EACCES, "File access denied"},     {EPERM, "File access denied"},
        {EROFS, "File access denied"},      {ENOSPC, "Disk full"},              {EFBIG, "Disk full"},
        {EIO, "I/O error 5"},               {ESRCH, "I/O error 3"},             {EINTR, "I/O error 4"},
        {ENETDOWN, "I/O error 100"},        {ENETUNREACH, "I/O error 101"},     {EISCONN, "I/O error 106"},
        {EPIPE, "I/O error 32"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(messageForErrno(c.err), c.message) << "errno " << c.err;
}

TEST(FileErrors, ReaderOnAMissingFile)
{
    test::TempDir dir;
    EXPECT_EQ(readerFailure(dir.file("absent.txt")), "File not found");
}

TEST(FileErrors, ReaderOnAFolderOrBadName)
{
    test::TempDir dir;
    EXPECT_EQ(readerFailure(dir.path()), "File access denied");
    EXPECT_EQ(readerFailure(dir.file(std::string(300, 'n'))), "Invalid filename");
    test::writeBytes(dir.file("plain"), "x");
    EXPECT_EQ(readerFailure(dir.file("plain/under")), "Invalid filename");
}

TEST(FileErrors, ReaderInAFolderWithoutPermission)
{
    VELLUMAX_SKIP_UNLESS_ROOT();
    test::TempDir dir;
    const std::string locked = dir.file("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0);
    test::writeBytes(locked + "/k.txt", "a\r\n");
    ::chmod(locked.c_str(), 0700);
    EXPECT_EQ(test::runAsNobody([&] { return readerFailure(locked + "/k.txt"); }), "File access denied");
}

TEST(FileErrors, ReaderWithTooManyOpenFiles)
{
    test::TempDir dir;
    const std::string path = dir.file("k.txt");
    test::writeBytes(path, "a\r\n");
    const std::string report = test::runAsNobody([&] {
        // One failure first, while descriptors are free: the sanitizer build
        // checks an object's type through a pipe the first time it meets it,
        // and with no descriptor left that check would fail on its own.
        readerFailure(dir.file("absent.txt"));
        struct rlimit none {0, 0};
        ::setrlimit(RLIMIT_NOFILE, &none);
        return readerFailure(path);
    });
    EXPECT_EQ(report, "Too many open files");
}

TEST(FileErrors, WholeFileMessages)
{
    EXPECT_EQ(cannotOpenFileMessage("/tmp/a.txt"), "Cannot open file /tmp/a.txt");
    EXPECT_EQ(cannotCreateFileMessage("/tmp/b.txt"), "Cannot create file /tmp/b.txt");
    // Paths are shown in the program's own code page.
    EXPECT_EQ(cannotOpenFileMessage("/tmp/传真.txt"), "Cannot open file /tmp/\xB4\xAB\xD5\xE6.txt");
}

TEST(FileErrors, WholeFileLoadWithoutPermission)
{
    VELLUMAX_SKIP_UNLESS_ROOT();
    test::TempDir dir;
    const std::string path = dir.file("secret.txt");
    test::writeBytes(path, "a\r\n");
    ::chmod(path.c_str(), 0600);
    EXPECT_EQ(test::runAsNobody([&] {
                  try {
                      loadTextLines(path);
                      return std::string("no error");
                  } catch (const Error& e) {
                      return std::string(e.what());
                  }
              }),
              "Cannot open file " + path);
}

} // namespace
} // namespace vellumax
