// The headless search's numbers file: a file that opens for appending but
// whose numbers cannot be read back costs no descriptor.
#include "run/number_output.h"
#include "support/child_process.h"
#include "support/test_files.h"
#include "text/error.h"
#include "text/file_errors.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vellumax;

namespace {

size_t openDescriptors()
{
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++n;
    return n;
}

// Lets the next descriptor be opened and no more.
void allowOneMoreDescriptor()
{
    const int next = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    ::close(next);
    struct rlimit limit {};
    ::getrlimit(RLIMIT_NOFILE, &limit);
    limit.rlim_cur = static_cast<rlim_t>(next + 1);
    ::setrlimit(RLIMIT_NOFILE, &limit);
}

TEST(NumberOutput, AFileThatCannotBeReadBackLeavesNoDescriptorOpen)
{
    struct Case {
        const char* name;
        mode_t mode;
        bool scarceDescriptors;
    };
    const Case cases[] = {
        {"write-only file", 0222, false},
        {"no descriptor left to read it with", 0666, true},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string path = dir.file("numbers.txt");
        test::writeBytes(path, "0512-12345678\r\n");
        ::chmod(path.c_str(), c.mode);
        // Root reads any file; the unreadable one is tried as nobody.
        const std::string report = test::runAsNobody([&] {
            const size_t before = openDescriptors();
            struct rlimit saved {};
            ::getrlimit(RLIMIT_NOFILE, &saved);
            if (c.scarceDescriptors)
                allowOneMoreDescriptor();
            std::string failure = "no error";
            try {
                NumberOutput output(path);
            } catch (const Error& e) {
                // Before anything else: the sanitizers' checks of a call need
                // descriptors too.
                ::setrlimit(RLIMIT_NOFILE, &saved);
                failure = e.what();
            }
            ::setrlimit(RLIMIT_NOFILE, &saved);
            return failure + ", " + std::to_string(openDescriptors() - before) + " more open";
        });
        EXPECT_EQ(report, cannotOpenFileMessage(path) + ", 0 more open") << c.name;
    }
}

} // namespace
