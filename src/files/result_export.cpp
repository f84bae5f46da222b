#include "files/result_export.h"

#include "text/line_writer.h"

#include <unistd.h>

namespace vellumax {

void WriteResultList(const std::string& path, const ResultList& results)
{
    LineWriter writer(path);
    for (const std::string& caption : results)
        writer.writeLine(caption);
    writer.commit();
}

void writeAutosave(const std::string& folder, const ResultList& results)
{
    std::string path = folder;
    if (!path.empty() && path.back() != '/')
        path += '/';
    path += kAutosaveFileName;
    if (results.empty()) {
        // Whether there was a snapshot to remove does not matter.
        ::unlink(path.c_str());
        return;
    }
    WriteResultList(path, results);
}

} // namespace vellumax
