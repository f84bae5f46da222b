// The line writer's format, and that a failure never costs the file that was
// there before.
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/line_writer.h"

#include <atomic>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

// Every umask call of this program, counted: the umask belongs to the whole
// process, so the writer must never set it, not even for a moment.
namespace {
std::atomic<int> umaskCalls {0};
}
extern "C" mode_t umask(mode_t mask) noexcept
{
    ++umaskCalls;
    return static_cast<mode_t>(::syscall(SYS_umask, mask));
}

namespace vellumax {
namespace {

std::string writeFailure(const std::string& path, const std::vector<std::string>& lines)
{
    try {
        writeLinesFile(path, lines);
        return "no error";
    } catch (const FileError& e) {
        return e.what();
    }
}

size_t entriesIn(const std::string& folder)
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder))
        ++n;
    return n;
}

TEST(LineWriter, EveryLineEndsInCrLf)
{
    test::TempDir dir;
    const std::string path = dir.file("out.txt");
    writeLinesFile(path, {"0512-12345678", "", "\xB4\xAB\xD5\xE6"});
    EXPECT_EQ(test::readBytes(path), "0512-12345678\r\n\r\n\xB4\xAB\xD5\xE6\r\n");
    writeLinesFile(path, {});
    EXPECT_EQ(test::readBytes(path), "");
    EXPECT_EQ(entriesIn(dir.path()), 1u) << "no temporary file is left behind";
}

TEST(LineWriter, ReplacesAFileKeepingItsPermissionsAndLinks)
{
    test::TempDir dir;
    const std::string real = dir.file("real.txt");
    const std::string link = dir.file("link.txt");
    test::writeBytes(real, "old\r\nold\r\n");
    ::chmod(real.c_str(), 0640);
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);
    writeLinesFile(link, {"new"});
    EXPECT_EQ(test::readBytes(real), "new\r\n");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    struct stat st {};
    ::stat(real.c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
}

unsigned modeOf(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

TEST(LineWriter, NewFilesFollowTheUmaskAndReplacedOnesKeepTheirMode)
{
    struct Case {
        mode_t umask;
        const char* modes; // of a new file, then of a replaced 0640 one
    };
    const Case cases[] = {{022, "644 640"}, {077, "600 640"}, {002, "664 640"}, {0, "666 640"}};
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string fresh = dir.file("new.txt");
        const std::string replaced = dir.file("old.txt");
        test::writeBytes(replaced, "old\r\n");
        ::chmod(replaced.c_str(), 0640);
        const std::string report = test::runInChild([&] { ::syscall(SYS_umask, c.umask); }, [&] {
            const int before = umaskCalls;
            writeLinesFile(fresh, {"a"});
            writeLinesFile(replaced, {"b"});
            char modes[32];
            std::snprintf(modes, sizeof modes, "%o %o", modeOf(fresh), modeOf(replaced));
            return std::string(modes) + (umaskCalls == before ? "" : " umask touched");
        });
        EXPECT_EQ(report, c.modes) << "umask " << std::oct << c.umask;
    }
}

TEST(LineWriter, ManyLinesPastTheBuffer)
{
    test::TempDir dir;
    const std::string path = dir.file("many.txt");
    std::vector<std::string> lines(100'000, "0512-12345678");
    writeLinesFile(path, lines);
    EXPECT_EQ(test::readBytes(path).size(), lines.size() * 15);
}

TEST(LineWriter, DeviceWithoutRoomIsADiskFull)
{
    EXPECT_EQ(writeFailure("/dev/full", {"a"}), "Disk full");
}

TEST(LineWriter, FullDiskKeepsThePreviousFile)
{
    test::TempDir dir;
    const std::string path = dir.file("vellumax.ini");
    const std::string previous = "keywords.txt\r\n11\r\nqcyes\r\n8\r\n";
    test::writeBytes(path, previous);
    const std::string report = test::runWithFileSizeLimit(100'000, [&] {
        return writeFailure(path, std::vector<std::string>(20'000, "0512-12345678"));
    });
    EXPECT_EQ(report, "Disk full");
    EXPECT_EQ(test::readBytes(path), previous);
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

TEST(LineWriter, ReadOnlyFolderKeepsThePreviousFile)
{
    VELLUMAX_SKIP_UNLESS_ROOT();
    test::TempDir dir;
    const std::string folder = dir.file("ro");
    ASSERT_EQ(::mkdir(folder.c_str(), 0755), 0);
    const std::string path = folder + "/result.txt";
    test::writeBytes(path, "good\r\n");
    ::chmod(path.c_str(), 0666);
    EXPECT_EQ(test::runAsNobody([&] { return writeFailure(path, {"x"}); }), "File access denied");
    EXPECT_EQ(test::readBytes(path), "good\r\n");
    EXPECT_EQ(entriesIn(folder), 1u);
}

TEST(LineWriter, ReadOnlyFileIsNotReplaced)
{
    test::TempDir dir;
    const std::string path = dir.file("autosave.txt");
    test::writeBytes(path, "kept\r\n");
    ::chmod(path.c_str(), 0444);
    EXPECT_EQ(test::runAsNobody([&] { return writeFailure(path, {"x"}); }), "File access denied");
    EXPECT_EQ(test::readBytes(path), "kept\r\n");
}

TEST(LineWriter, MissingFolderOrFolderAsTarget)
{
    test::TempDir dir;
    EXPECT_EQ(writeFailure(dir.file("nowhere/out.txt"), {"x"}), "File not found");
    EXPECT_EQ(writeFailure(dir.path(), {"x"}), "File access denied");
}

TEST(LineWriter, AbandonedWriterLeavesNothingBehind)
{
    test::TempDir dir;
    const std::string path = dir.file("out.txt");
    test::writeBytes(path, "before\r\n");
    {
        LineWriter writer(path);
        writer.writeLine("half");
    }
    EXPECT_EQ(test::readBytes(path), "before\r\n");
    EXPECT_EQ(entriesIn(dir.path()), 1u);
}

} // namespace
} // namespace vellumax
