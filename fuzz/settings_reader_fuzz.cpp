// The settings file reader, on any bytes in the place of "vellumax.ini".
// The outcome is compared with the four lines read by their rules: the
// values up to a failing line are set, the rest keep what they were.
#include "files/settings_file.h"
#include "fuzz_check.h"
#include "text/error.h"
#include "text/int_conversion.h"

#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

using namespace vellumax;

namespace {

char folderName[] = "/tmp/vellumax-fuzz-XXXXXX";
char settingsName[sizeof folderName + 16];

const std::string& folder()
{
    static const std::string path = [] {
        FUZZ_CHECK(::mkdtemp(folderName) != nullptr);
        std::snprintf(settingsName, sizeof settingsName, "%s/%s", folderName, kSettingsFileName);
        // Removed again when the fuzzer ends.
        std::atexit([] {
            ::unlink(settingsName);
            ::rmdir(folderName);
        });
        return std::string(folderName) + "/";
    }();
    return path;
}

// The first four lines as the line reader gives them; missing ones empty.
std::vector<std::string> firstFourLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (lines.size() < 4) {
        if (pos >= text.size() || text[pos] == 26) {
            lines.emplace_back();
            continue;
        }
        const size_t lf = std::min(text.find('\n', pos), text.size());
        std::string line(text.substr(pos, lf - pos));
        line.erase(std::remove(line.begin(), line.end(), '\r'), line.end());
        lines.push_back(line);
        pos = lf == text.size() ? lf : lf + 1;
    }
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string path = folder() + kSettingsFileName;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, data, size) == static_cast<ssize_t>(size));
    ::close(fd);

    const Settings before{"before", 77, true, 9};
    Settings expected = before;
    const std::vector<std::string> lines = firstFourLines(fuzz::bytesOf(data, size));
    std::optional<std::string> failure;
    expected.keywordFile = lines[0];
    if (const auto cursor = tryStrToInt(lines[1])) {
        expected.keywordCursor = *cursor;
        expected.deduplicate = lines[2] == "qcyes";
        if (const auto interval = tryStrToInt(lines[3]))
            expected.interval = std::clamp(*interval, 1, 1000);
        else
            failure = invalidIntegerMessage(lines[3]);
    } else {
        failure = invalidIntegerMessage(lines[1]);
    }

    Settings settings = before;
    std::optional<std::string> message;
    try {
        readSettingsFile(folder(), settings);
    } catch (const Error& e) {
        message = e.what();
    }
    // The message is a C string: a NUL in the line ends it.
    if (failure)
        failure = failure->substr(0, failure->find('\0'));
    FUZZ_CHECK(message == failure);
    FUZZ_CHECK(settings.keywordFile == expected.keywordFile);
    FUZZ_CHECK(settings.keywordCursor == expected.keywordCursor);
    FUZZ_CHECK(settings.deduplicate == expected.deduplicate);
    FUZZ_CHECK(settings.interval == expected.interval);
    FUZZ_CHECK(settings.interval >= 1 && settings.interval <= 1000);
    FUZZ_CHECK(settings.keywordFile.find_first_of("\r\n") == std::string::npos);
    return 0;
}
