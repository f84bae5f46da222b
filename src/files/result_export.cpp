#include "files/result_export.h"

#include "text/line_writer.h"

#include <unistd.h>

namespace vellumax {

namespace {

void writeLines(const std::string& path, const std::string* first, LineSource& rest)
{
    LineWriter writer(path);
    for (const std::string* line = first; line; line = rest.next())
        writer.writeLine(*line);
    writer.commit();
}

} // namespace

void writeResultLines(const std::string& path, LineSource& lines) { writeLines(path, lines.next(), lines); }

void writeAutosaveLines(const std::string& folder, LineSource& lines)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += kAutosaveFileName;
    // Only the first line can tell whether there is anything to keep.
    const std::string* first = lines.next();
    if (!first) {
        // Whether there was a snapshot to remove does not matter.
        ::unlink(path.c_str());
        return;
    }
    writeLines(path, first, lines);
}

} // namespace vellumax
