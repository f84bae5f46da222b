// The text splitter, against a byte-at-a-time reading of its rules.
#include "fuzz_check.h"
#include "text/text_splitter.h"

#include <string>
#include <vector>

using namespace vellumax;

namespace {

std::vector<std::string> referenceSplit(std::string_view text)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false; // a line has begun and not yet been ended
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\0')
            break;
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            continue;
        }
        current += c;
        open = true;
    }
    if (open)
        lines.push_back(current);
    return lines;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view text = fuzz::bytesOf(data, size);
    const std::vector<std::string> lines = splitText(text);
    for (const std::string& line : lines)
        FUZZ_CHECK(line.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos);
    FUZZ_CHECK(lines == referenceSplit(text));

    size_t calls = 0;
    forEachTextLine(text, [&](std::string_view line) {
        FUZZ_CHECK(calls < lines.size() && line == lines[calls]);
        ++calls;
    });
    FUZZ_CHECK(calls == lines.size());
    return 0;
}
