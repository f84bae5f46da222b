// plan, count, extract and pager: the rules of a search run, applied to
// keyword lists and saved page texts.
#include "cli/commands.h"

#include "search/fax_extraction.h"
#include "search/page_analysis.h"
#include "search/page_blocks.h"
#include "search/query_builder.h"
#include "search/result_list.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"
#include "text/int_conversion.h"
#include "text/line_reader.h"
#include "text/text_splitter.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax::cli {
namespace {

// A FILE argument of "-" stands for standard input.
constexpr std::string_view kStandardInput = "-";

// Reports a file failure in the program's own words and gives exit code 1.
int fileFailure(const Error& error)
{
    std::fprintf(stderr, "%s\n", utf8FromGbk(error.what()).c_str());
    return 1;
}

void writeOut(std::string_view bytes)
{
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::string readStandardInput()
{
    std::string bytes;
    char chunk[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, chunk, sizeof chunk);
        if (n > 0)
            bytes.append(chunk, static_cast<size_t>(n));
        else if (n == 0)
            return bytes;
        else if (errno != EINTR)
            throw Error(kStreamReadError);
    }
}

std::string readInput(const std::string& path)
{
    return path == kStandardInput ? readStandardInput() : readWholeFile(path);
}

// Standard input can be read only once, and the line reader wants a file:
// it is copied to a temporary file that goes away with this object.
class StandardInputCopy {
public:
    StandardInputCopy()
    {
        const char* folder = std::getenv("TMPDIR");
        path_ = std::string(folder && *folder ? folder : "/tmp") + "/vellumax-cli-XXXXXX";
        const int fd = ::mkstemp(path_.data());
        if (fd < 0)
            throwFileError(errno);
        const std::string bytes = readStandardInput();
        size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                const int err = errno;
                ::close(fd);
                ::unlink(path_.c_str());
                throwFileError(err);
            }
            done += static_cast<size_t>(n);
        }
        ::close(fd);
    }
    ~StandardInputCopy() { ::unlink(path_.c_str()); }
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Blocks of this size keep a big page text's lines in the cache while they
// are read.
constexpr size_t kPageBlock = 1 << 20;

// Hands the page text of a file (or of standard input) on in pieces of
// whole lines, as readInput would deliver it in one.
void readPage(const std::string& path, const std::function<void(std::string_view)>& piece)
{
    if (path == kStandardInput) {
        readPageBlocks(STDIN_FILENO, std::nullopt, kPageBlock, piece);
        return;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        throw Error(cannotOpenFileMessage(path));
    struct FdCloser {
        int fd;
        ~FdCloser() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(cannotOpenFileMessage(path));
    readPageBlocks(fd, static_cast<size_t>(st.st_size), kPageBlock, piece);
}

std::optional<std::string> markerFromArgument(std::string_view utf8)
{
    const std::string marker = gbk(utf8);
    if (marker.empty() || marker == kChineseFaxMarker || marker == kLatinFaxMarker)
        return marker;
    return std::nullopt;
}

} // namespace

int runPlan(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usageError();
    std::vector<std::string> keywords;
    try {
        keywords = splitText(readInput(args[0]));
    } catch (const Error& e) {
        return fileFailure(e);
    }

    // One builder for the whole list: a keyword without a marker word keeps
    // the marker of the keyword before it.
    QueryBuilder builder;
    std::string line;
    for (const std::string& keyword : keywords) {
        const std::string queryBase = builder.PrepareKeyword(keyword);
        line = utf8FromGbk(builder.fieldMarker());
        line += '\t';
        line += PageUrl(queryBase, 0);
        line += '\n';
        writeOut(line);
    }
    return 0;
}

int runCount(const std::vector<std::string>& args)
{
    if (args.size() != 1)
        return usageError();
    long readerCount = 0;
    size_t splitterCount = 0;
    try {
        std::optional<StandardInputCopy> stdinCopy;
        if (args[0] == kStandardInput)
            stdinCopy.emplace();
        const std::string& path = stdinCopy ? stdinCopy->path() : args[0];

        {
            LineReader reader(path);
            std::string line;
            while (!reader.atEnd()) {
                reader.readLine(line);
                ++readerCount;
            }
        }
        forEachTextLine(readWholeFile(path), [&](std::string_view) { ++splitterCount; });
    } catch (const Error& e) {
        return fileFailure(e);
    }
    std::printf("%ld\t%zu\n", readerCount, splitterCount);
    return 0;
}

int runExtract(const std::vector<std::string>& args)
{
    std::string marker(kChineseFaxMarker);
    bool deduplicate = false;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg == kStandardInput || !arg.starts_with("-")) {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--dedup") {
            deduplicate = true;
        } else if (arg == "--marker" && i + 1 < args.size()) {
            const std::optional<std::string> chosen = markerFromArgument(args[++i]);
            if (!chosen)
                return usageError();
            marker = *chosen;
        } else {
            return usageError();
        }
    }
    if (files.empty())
        return usageError();

    // The pages go into one list, as the pages of one run do; nothing is
    // printed unless every page could be read. Without deduplication no list
    // is needed: every number is printed.
    ResultList results;
    std::string output;
    const auto extractPiece = [&](std::string_view piece) {
        forEachFaxNumberInText(piece, marker, [&](std::string& number) {
            if (deduplicate) {
                if (results.contains(number))
                    return;
                results.append(number);
            }
            output += number;
            output += "\r\n";
        });
    };
    try {
        for (const std::string& file : files)
            readPage(file, extractPiece);
    } catch (const Error& e) {
        return fileFailure(e);
    }
    writeOut(output);
    return 0;
}

int runPager(const std::vector<std::string>& args)
{
    std::optional<int32_t> offset;
    std::optional<std::string> file;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--offset" && i + 1 < args.size() && !offset) {
            offset = tryStrToInt(args[++i]);
            if (!offset || *offset < 0)
                return usageError();
        } else if ((arg == kStandardInput || !arg.starts_with("-")) && !file) {
            file = arg;
        } else {
            return usageError();
        }
    }
    if (!offset || !file)
        return usageError();

    bool morePages = false;
    try {
        morePages = analysePage(readInput(*file), *offset).morePages;
    } catch (const Error& e) {
        return fileFailure(e);
    }
    writeOut(morePages ? "1\n" : "0\n");
    return 0;
}

} // namespace vellumax::cli
