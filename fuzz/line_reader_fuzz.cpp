// The line reader over a memory file. The input is repeated up to a length
// taken from its first two bytes, so that lines also cross the reader's
// buffer.
#include "fuzz_check.h"
#include "text/error.h"
#include "text/line_reader.h"

#include <string>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

using namespace vellumax;

namespace {

constexpr char kCtrlZ = 26;

std::vector<std::string> referenceLines(std::string_view text)
{
    std::vector<std::string> lines;
    size_t pos = 0;
    while (pos < text.size() && text[pos] != kCtrlZ) {
        const size_t lf = text.find('\n', pos);
        const size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::string line;
        for (size_t i = pos; i < end; ++i)
            if (text[i] != '\r')
                line += text[i];
        lines.push_back(line);
        pos = lf == std::string_view::npos ? text.size() : lf + 1;
    }
    return lines;
}

std::string tiled(std::string_view input)
{
    if (input.size() < 3)
        return std::string(input);
    const size_t wanted = (static_cast<unsigned char>(input[0]) << 8 | static_cast<unsigned char>(input[1])) * 3;
    const std::string_view unit = input.substr(2);
    std::string text;
    text.reserve(wanted + unit.size());
    do
        text.append(unit);
    while (text.size() < wanted);
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text = tiled(fuzz::bytesOf(data, size));

    const int fd = ::memfd_create("line_reader_fuzz", MFD_CLOEXEC);
    FUZZ_CHECK(fd >= 0);
    FUZZ_CHECK(::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()));

    const std::vector<std::string> expected = referenceLines(text);
    std::vector<std::string> lines;
    {
        LineReader reader("/proc/self/fd/" + std::to_string(fd));
        while (!reader.atEnd()) {
            FUZZ_CHECK(lines.size() < expected.size());
            lines.push_back(reader.readLine());
        }
        // Reading past the end is no error and yields an empty line.
        FUZZ_CHECK(reader.readLine().empty());
        FUZZ_CHECK(reader.atEnd());
    }
    ::close(fd);

    for (const std::string& line : lines)
        FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(lines == expected);
    return 0;
}
