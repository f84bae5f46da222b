#include "files/number_merge.h"

#include "files/distinct_lines.h"
#include "files/line_collation.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"
#include "text/text_splitter.h"
#include "text/unique_fd.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {
namespace {

// Files are copied into the joined text in blocks of this size; a block that
// cannot be read whole is not kept.
constexpr size_t kCopyBlock = 61'440;

// Appends the bytes of `path` to `joined`, from its first byte to its end.
void appendFile(const std::string& path, std::string& joined)
{
    const UniqueFd in(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat st {};
    if (!in || ::fstat(in.get(), &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(cannotOpenFileMessage(path));

    const size_t start = joined.size();
    for (;;) {
        const size_t blockStart = joined.size();
        joined.resize(blockStart + kCopyBlock);
        size_t got = 0;
        while (got < kCopyBlock) {
            const ssize_t n = ::read(in.get(), joined.data() + blockStart + got, kCopyBlock - got);
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0) {
                joined.resize(blockStart);
                throw Error(kStreamReadError);
            }
            if (n == 0)
                break;
            got += static_cast<size_t>(n);
        }
        joined.resize(blockStart + got);
        if (got < kCopyBlock)
            break;
    }
    // A file that ends before its own size says (it was cut meanwhile) has
    // not delivered its last block.
    const size_t copied = joined.size() - start;
    if (S_ISREG(st.st_mode) && copied < static_cast<size_t>(st.st_size)) {
        joined.resize(start + copied / kCopyBlock * kCopyBlock);
        throw Error(kStreamReadError);
    }
}

} // namespace

MergeOutcome mergeNumberFiles(const std::vector<std::string>& inputs, const std::string& output)
{
    // The merged file is set up first, so that a place it cannot go is found
    // before anything is read. Its old content stays until the new one is
    // complete, and an input that is also the output is read as it was.
    std::unique_ptr<LineWriter> writer;
    try {
        writer = std::make_unique<LineWriter>(output);
    } catch (const FileError&) {
        throw Error(cannotCreateFileMessage(output));
    }

    MergeOutcome outcome;
    std::string joined;
    {
        size_t total = 0;
        for (const std::string& input : inputs)
            if (struct stat st {}; ::stat(input.c_str(), &st) == 0 && S_ISREG(st.st_mode))
                total += static_cast<size_t>(st.st_size);
        // Room for the last block's read as well, so the text never moves.
        joined.reserve(total + kCopyBlock);
    }
    try {
        for (const std::string& input : inputs)
            appendFile(input, joined);
    } catch (const Error& e) {
        outcome.joinFailure = e.what();
    }

    try {
        outcome.count = forEachDistinctLine(joined, userCollationLocale(), distinctLineParts(joined.size()),
                                            [&](std::string_view line) { writer->writeLine(line); });
        writer->commit();
    } catch (const FileError&) {
        throw Error(kStreamWriteError);
    }
    return outcome;
}

std::string mergeStatusText(size_t count) { return gbk("文件合并整理完毕！共计：") + std::to_string(count); }

} // namespace vellumax
