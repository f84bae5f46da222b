#include "files/settings_file.h"

#include "text/int_conversion.h"
#include "text/line_reader.h"
#include "text/line_writer.h"

#include <algorithm>
#include <cerrno>
#include <limits>
#include <sys/stat.h>

namespace vellumax {
namespace {

constexpr int32_t kMinInterval = 1;
constexpr int32_t kMaxInterval = 1000;

std::string settingsPath(const std::string& folder)
{
    if (!folder.empty() && folder.back() != '/')
        return folder + "/" + kSettingsFileName;
    return folder + kSettingsFileName;
}

} // namespace

void readSettingsFile(const std::string& folder, Settings& settings)
{
    readSettingsFileAt(settingsPath(folder), settings);
}

void writeSettingsFile(const std::string& folder, const Settings& settings)
{
    writeSettingsFileAt(settingsPath(folder), settings);
}

void readSettingsFileAt(const std::string& path, Settings& settings)
{
    // Only a file that is really not there is skipped quietly; one that is
    // there but cannot be reached is reported by the reader.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return;

    LineReader reader(path);
    std::string line;
    reader.readLine(line);
    settings.keywordFile = line;
    reader.readLine(line);
    settings.keywordCursor = strToInt(line);
    reader.readLine(line);
    settings.deduplicate = line == "qcyes";
    reader.readLine(line);
    settings.interval = std::clamp(strToInt(line), kMinInterval, kMaxInterval);
}

void writeSettingsFileAt(const std::string& path, const Settings& settings)
{
    // The cursor may be -1 already (a restored position not yet used). The
    // lowest cursor has no 32-bit predecessor, and a line 2 outside 32 bits
    // is refused on reading: it is written as itself, so that what is
    // written always reads back.
    const int32_t cursor = settings.keywordCursor;
    const int32_t position = cursor == std::numeric_limits<int32_t>::min() ? cursor : cursor - 1;
    LineWriter writer(path);
    writer.writeLine(settings.keywordFile);
    writer.writeLine(std::to_string(position));
    writer.writeLine(settings.deduplicate ? "qcyes" : "qcno");
    writer.writeLine(std::to_string(settings.interval));
    writer.commit();
}

} // namespace vellumax
