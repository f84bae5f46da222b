// Installs the build into a temporary prefix and checks what a user of a
// Linux desktop gets: the programs, a valid desktop entry, the icons, and an
// installed program that keeps its settings in the user's data folder.
#include "support/child_process.h"
#include "support/test_files.h"

#include <array>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr uid_t kNobody = 65534;

class InstalledProgram : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        prefix_ = new test::TempDir;
        const std::string command = "cmake --install '" VELLUMAX_BUILD_DIR "' --prefix '" + prefix_->path() +
                                    "' >/dev/null";
        installed_ = std::system(command.c_str()) == 0;
    }
    static void TearDownTestSuite()
    {
        delete prefix_;
        prefix_ = nullptr;
    }

    static std::string installed(const std::string& relative) { return prefix_->path() + "/" + relative; }

    static inline test::TempDir* prefix_ = nullptr;
    static inline bool installed_ = false;
};

TEST_F(InstalledProgram, PutsEveryPieceInItsPlace)
{
    ASSERT_TRUE(installed_);
    for (const char* piece : {"bin/vellumax", "bin/vellumax-cli", "lib/vellumax/vellumax", "lib/vellumax/vellumax-search",
                              "lib/vellumax/vellumax-numbers",
                              "share/applications/vellumax.desktop", "share/icons/hicolor/16x16/apps/vellumax.png",
                              "share/icons/hicolor/32x32/apps/vellumax.png",
                              "share/icons/hicolor/256x256/apps/vellumax.png", "share/doc/vellumax/README.md",
                              "share/doc/vellumax/copyright", "share/doc/vellumax/changelog.gz",
                              "share/man/man1/vellumax.1.gz", "share/man/man1/vellumax-cli.1.gz"})
        EXPECT_TRUE(test::fileExists(installed(piece))) << piece;
    EXPECT_EQ(::access(installed("bin/vellumax").c_str(), X_OK), 0);
}

TEST_F(InstalledProgram, DesktopEntryValidates)
{
    ASSERT_TRUE(installed_);
    const std::string command = "desktop-file-validate '" + installed("share/applications/vellumax.desktop") + "'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

TEST_F(InstalledProgram, CommandLineToolRuns)
{
    ASSERT_TRUE(installed_);
    test::TempDir work;
    test::writeBytes(work.file("a.txt"), "2\r\n1\r\n");
    const std::string command = "'" + installed("bin/vellumax-cli") + "' merge '" + work.file("m.txt") + "' '" +
                                work.file("a.txt") + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::readBytes(work.file("m.txt")), "1\r\n2\r\n");
}

// The installed tool finds the search program in the window program's folder:
// the search's own first checks answer (offline on a machine whose host name
// is loopback, or the missing keyword file), not a failed start.
TEST_F(InstalledProgram, SearchCommandStartsTheSearchProgram)
{
    ASSERT_TRUE(installed_);
    test::TempDir work;
    const std::string command = "'" + installed("bin/vellumax-cli") + "' search --out '" + work.file("o.txt") +
                                "' '" + work.file("missing.txt") + "' 2>'" + work.file("err.txt") + "'";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    const std::string err = test::readBytes(work.file("err.txt"));
    EXPECT_TRUE(err.find("您还没有连接到网上！") != std::string::npos || err.find("Cannot open file") != std::string::npos)
        << err;
    EXPECT_FALSE(test::fileExists(work.file("o.txt")));
}

// The number commands run in the number program, found the same way.
TEST_F(InstalledProgram, NumberCommandsStartTheNumberProgram)
{
    ASSERT_TRUE(installed_);
    test::TempDir work;
    test::writeBytes(work.file("in.txt"), "0512-87654321\r\n013912345678\r\n");
    const std::string command = "'" + installed("bin/vellumax-cli") + "' filter --kind mobile '" + work.file("out.txt") +
                                "' '" + work.file("in.txt") + "' >/dev/null";
    EXPECT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(test::readBytes(work.file("out.txt")), "013912345678\r\n");
}

// The installed program's folder is not the user's to write: started by an
// ordinary user, the program must read its settings from the user's data
// folder. inotify tells which file it opens.
TEST_F(InstalledProgram, ReadsItsSettingsFromTheUsersDataFolder)
{
    ASSERT_TRUE(installed_);
    VELLUMAX_SKIP_UNLESS_ROOT(); // the installed folder must be out of the user's reach
    test::TempDir home;
    const std::string data = home.path() + "/.local/share/vellumax";
    ASSERT_EQ(std::system(("mkdir -p '" + data + "'").c_str()), 0);
    test::writeBytes(data + "/vellumax.ini", "keywords.txt\r\n3\r\nqcyes\r\n12\r\n");
    ASSERT_EQ(std::system(("chown -R 65534:65534 '" + home.path() + "'").c_str()), 0);

    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(::inotify_add_watch(watch, data.c_str(), IN_OPEN), 0);

    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setpgid(0, 0);
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0))
            ::_exit(3);
        ::setenv("HOME", home.path().c_str(), 1);
        ::unsetenv("XDG_DATA_HOME");
        ::unsetenv("XDG_CONFIG_HOME");
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        // The test machine may not allow the browser engine's sandbox.
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 1);
        const int devnull = ::open("/dev/null", O_WRONLY);
        ::dup2(devnull, 1);
        ::dup2(devnull, 2);
        const std::string program = installed("bin/vellumax");
        ::execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ASSERT_GT(pid, 0);

    bool opened = false;
    for (int waited = 0; waited < 600 && !opened; ++waited) {
        pollfd fd{watch, POLLIN, 0};
        if (::poll(&fd, 1, 100) > 0) {
            alignas(inotify_event) char buffer[4096];
            const ssize_t n = ::read(watch, buffer, sizeof buffer);
            for (ssize_t at = 0; at < n;) {
                const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
                if (event->len > 0 && std::string(event->name) == "vellumax.ini")
                    opened = true;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) {
            ADD_FAILURE() << "the program ended early, status " << status;
            break;
        }
    }
    ::kill(-pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    ::close(watch);
    EXPECT_TRUE(opened) << "the program never opened " << data << "/vellumax.ini";
    EXPECT_FALSE(test::fileExists(installed("lib/vellumax/vellumax.ini")));
}

// Everything lintian says about the Debian package: errors and warnings are
// what it prints by default, so a clean package prints nothing.
TEST(DebianPackage, PassesLintian)
{
    test::TempDir out;
    const std::string pack = "cd '" VELLUMAX_BUILD_DIR "' && cpack -B '" + out.path() + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(pack.c_str()), 0);
    // Its remarks on stderr (that it runs as root) are no verdict.
    const std::string check = "lintian --tag-display-limit 0 '" + out.path() + "'/*.deb 2>'" + out.file("stderr") + "'";
    FILE* lintian = ::popen(check.c_str(), "r");
    ASSERT_NE(lintian, nullptr);
    std::string said;
    std::array<char, 4096> chunk;
    while (const size_t n = std::fread(chunk.data(), 1, chunk.size(), lintian))
        said.append(chunk.data(), n);
    EXPECT_EQ(::pclose(lintian), 0) << said << test::readBytes(out.file("stderr"));
    EXPECT_EQ(said, "");
}

} // namespace
} // namespace vellumax
