#include "headless/table_output.h"

#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace vellumax {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// The first bytes of the file and its last one: how it is encoded, and
// whether a crash cut its last row short.
struct TableEnds {
    std::string head;
    char last = '\n';
};

TableEnds readEnds(int fd, off_t size)
{
    TableEnds ends;
    ends.head.resize(kByteOrderMark.size());
    const ssize_t n = ::pread(fd, ends.head.data(), ends.head.size(), 0);
    ends.head.resize(n > 0 ? static_cast<size_t>(n) : 0);
    if (::pread(fd, &ends.last, 1, size - 1) != 1)
        ends.last = '\n';
    return ends;
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwFileError(errno);
        bytes.remove_prefix(static_cast<size_t>(n));
    }
}

} // namespace

TableOutput::TableOutput(const std::string& path, bool utf8) : path_(path), utf8_(utf8)
{
    fd_ = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd_ < 0)
        throw Error(cannotCreateFileMessage(path));
    struct stat st {};
    regularFile_ = ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode);
    if (regularFile_ && st.st_size > 0) {
        const TableEnds ends = readEnds(fd_, st.st_size);
        const bool hasMark = ends.head == kByteOrderMark;
        if (hasMark != utf8_) {
            ::close(fd_);
            const std::string name = gbkFromUtf8(path);
            throw Error(hasMark ? gbk("号码表 ") + name + gbk(" 是 UTF-8 编码（带 BOM），不能追加 GBK 行，请加 --table-utf8")
                                : gbk("号码表 ") + name + gbk(" 是 GBK 编码，不能追加 UTF-8 行，请去掉 --table-utf8"));
        }
        if (ends.last != '\n' && ends.last != '\r')
            pending_ = "\r\n";
        return;
    }
    if (utf8_)
        pending_ = kByteOrderMark;
    pending_ += utf8_ ? utf8FromGbk(numberTableHeader()) : numberTableHeader();
    pending_ += "\r\n";
}

TableOutput::~TableOutput()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void TableOutput::add(std::string_view number, const NumberOrigin& origin)
{
    const std::string row = numberTableRow(number, classifier_.classify(number), origin);
    pending_ += utf8_ ? utf8FromGbk(row) : row;
    pending_ += "\r\n";
}

void TableOutput::write()
{
    if (pending_.empty())
        return;
    writeAll(fd_, pending_);
    pending_.clear();
    if (regularFile_ && ::fdatasync(fd_) != 0)
        throwFileError(errno);
}

bool namesTheSameFile(const std::string& a, const std::string& b)
{
    std::error_code error;
    if (std::filesystem::equivalent(a, b, error))
        return true;
    return std::filesystem::absolute(a, error).lexically_normal() ==
           std::filesystem::absolute(b, error).lexically_normal();
}

} // namespace vellumax
