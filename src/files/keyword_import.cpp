#include "files/keyword_import.h"

#include "text/line_reader.h"
#include "text/text_splitter.h"

#include <limits>

namespace vellumax {

int32_t countKeywordLines(const std::string& path)
{
    LineReader reader(path);
    std::string line;
    int32_t count = 0;
    while (!reader.atEnd()) {
        reader.readLine(line);
        // The status bar shows a 32-bit count; a file with more lines than
        // that shows the largest one.
        if (count < std::numeric_limits<int32_t>::max())
            ++count;
    }
    return count;
}

std::vector<std::string> loadKeywordList(const std::string& path) { return loadTextLines(path); }

} // namespace vellumax
