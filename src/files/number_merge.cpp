#include "files/number_merge.h"

#include "files/line_collation.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"
#include "text/text_splitter.h"

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

struct Fd {
    int fd;
    ~Fd()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

// Appends the bytes of `path` to `joined`, from its first byte to its end.
void appendFile(const std::string& path, std::string& joined)
{
    Fd in{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
    struct stat st {};
    if (in.fd < 0 || ::fstat(in.fd, &st) != 0 || S_ISDIR(st.st_mode))
        throw Error(cannotOpenFileMessage(path));

    const size_t start = joined.size();
    for (;;) {
        const size_t blockStart = joined.size();
        joined.resize(blockStart + kCopyBlock);
        size_t got = 0;
        while (got < kCopyBlock) {
            const ssize_t n = ::read(in.fd, joined.data() + blockStart + got, kCopyBlock - got);
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

// Keeps the ends of long sort keys, each closed by a zero byte, in blocks that never move, so
// that a growing store copies nothing.
class KeyStore {
public:
    const char* add(std::string_view key)
    {
        const size_t size = key.size() + 1;
        if (free_ < size) {
            const size_t block = std::max(kBlock, size);
            blocks_.push_back(std::make_unique<char[]>(block));
            next_ = blocks_.back().get();
            free_ = block;
        }
        char* at = next_;
        std::memcpy(at, key.data(), key.size());
        at[key.size()] = '\0';
        next_ += size;
        free_ -= size;
        return at;
    }

private:
    static constexpr size_t kBlock = 1 << 20;
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* next_ = nullptr;
    size_t free_ = 0;
};

// A line that may stay: where it begins in the joined text (it runs to the
// next line break or the end of the text) and its sort key. Sort keys of
// numbers are short, so a key's first 24 bytes are held here as three
// numbers, big end first and padded with zeros, which order like the bytes
// since a key never holds a zero byte. A longer key keeps its first 16 bytes
// here and the rest in the key store, the third number then pointing there.
class Candidate {
public:
    Candidate(std::string_view key, size_t textPos, KeyStore& store) : where_(textPos << 1)
    {
        head_[0] = word(key, 0);
        head_[1] = word(key, 8);
        if (key.size() <= 24) {
            tail_ = word(key, 16);
        } else {
            tail_ = reinterpret_cast<uintptr_t>(store.add(key.substr(16)));
            where_ |= 1;
        }
    }

    size_t textPos() const { return where_ >> 1; }

    // <0, 0 or >0 as the key of `a` orders before, equal to or after that
    // of `b`.
    friend int compareKeys(const Candidate& a, const Candidate& b)
    {
        for (int i = 0; i < 2; ++i)
            if (a.head_[i] != b.head_[i])
                return a.head_[i] < b.head_[i] ? -1 : 1;
        if (!a.longKey() && !b.longKey())
            return a.tail_ == b.tail_ ? 0 : (a.tail_ < b.tail_ ? -1 : 1);
        char bufferA[9], bufferB[9];
        return std::strcmp(a.tailBytes(bufferA), b.tailBytes(bufferB));
    }

private:
    static uint64_t word(std::string_view key, size_t from)
    {
        uint64_t w = 0;
        for (size_t i = from; i < from + 8; ++i)
            w = (w << 8) | (i < key.size() ? static_cast<unsigned char>(key[i]) : 0u);
        return w;
    }

    bool longKey() const { return (where_ & 1) != 0; }

    // The key from its 17th byte on, zero-closed.
    const char* tailBytes(char (&buffer)[9]) const
    {
        if (longKey())
            return reinterpret_cast<const char*>(static_cast<uintptr_t>(tail_));
        for (int i = 0; i < 8; ++i)
            buffer[i] = static_cast<char>(tail_ >> (56 - 8 * i));
        buffer[8] = '\0';
        return buffer;
    }

    uint64_t head_[2];
    uint64_t tail_;
    uint64_t where_; // text position, shifted left, and the long-key flag
};

// By key, and lines of equal keys in the order they were met.
bool candidateLess(const Candidate& a, const Candidate& b)
{
    const int order = compareKeys(a, b);
    return order != 0 ? order < 0 : a.textPos() < b.textPos();
}

bool isAscii(std::string_view line)
{
    for (const char c : line)
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    return true;
}

char lowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + ('a' - 'A')) : c; }

// A cheap form of a line that is the same for lines certain to compare
// equal: an ASCII line in small letters (case folding changes nothing else in
// ASCII), any other line as it is. Lines of different forms may still compare
// equal; only the collation can say.
void plainForm(std::string_view line, bool ascii, std::string& form)
{
    form.assign(line);
    if (ascii)
        for (char& c : form)
            c = lowerAscii(c);
}

// The set of plain forms met so far, each standing for the candidate that
// brought it. Open addressing: a slot holds the candidate's number plus one
// (0 for an empty slot) and the upper half of its form's hash, which also
// places it, so the set grows without reading a line again.
class FormSet {
public:
    FormSet(std::string_view text, const std::vector<Candidate>& candidates)
        : text_(text), candidates_(candidates), slots_(1024)
    {
    }

    // Whether a line of this form was met before; if not, the form is taken
    // in for the candidate that is added next.
    bool seen(std::string_view form, bool ascii)
    {
        const auto tag = static_cast<uint32_t>(std::hash<std::string_view>{}(form) >> 32);
        const size_t mask = slots_.size() - 1;
        size_t i = tag & mask;
        for (; slots_[i].entry != 0; i = (i + 1) & mask)
            if (slots_[i].tag == tag && sameForm(candidates_[slots_[i].entry - 1].textPos(), form, ascii))
                return true;
        slots_[i] = {static_cast<uint32_t>(candidates_.size() + 1), tag};
        if (++used_ * 4 > slots_.size() * 3)
            grow();
        return false;
    }

private:
    struct Slot {
        uint32_t entry = 0;
        uint32_t tag = 0;
    };

    // Whether the line at `pos` has the plain form `form`.
    bool sameForm(size_t pos, std::string_view form, bool ascii) const
    {
        if (text_.size() - pos < form.size())
            return false;
        for (size_t i = 0; i < form.size(); ++i) {
            const char c = text_[pos + i];
            if ((ascii ? lowerAscii(c) : c) != form[i])
                return false;
        }
        const size_t end = pos + form.size();
        return end == text_.size() || text_[end] == '\r' || text_[end] == '\n';
    }

    void grow()
    {
        std::vector<Slot> old(slots_.size() * 2);
        old.swap(slots_);
        const size_t mask = slots_.size() - 1;
        for (const Slot& slot : old) {
            if (slot.entry == 0)
                continue;
            size_t i = slot.tag & mask;
            while (slots_[i].entry != 0)
                i = (i + 1) & mask;
            slots_[i] = slot;
        }
    }

    std::string_view text_;
    const std::vector<Candidate>& candidates_;
    std::vector<Slot> slots_;
    size_t used_ = 0;
};

// Calls `emit` with the distinct lines of `text`, each the first met of its
// group of equal lines, in ascending order, and returns their number.
//
// The outcome is that of inserting the lines one by one into a list kept
// sorted, refusing a line equal to one already there: equality is an
// equivalence, so a line is refused exactly when an earlier line of its group
// was taken, and the order of the distinct lines is the collation's.
//
// A line whose plain form was met before is equal to that earlier line and
// is dropped at once, without a sort key. The others are sorted by key and
// by the order they were met, and of each run of equal keys the first stays.
template <typename EmitFn>
size_t forEachDistinctLine(std::string_view text, LineCollation& collation, EmitFn&& emit)
{
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<Candidate> candidates;
    // Room for every line; memory is only taken where it is used, and the
    // list never moves while it grows.
    candidates.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                           std::count(text.begin(), text.end(), '\r') + 1));
    KeyStore keys;
    {
        FormSet forms(text, candidates);
        std::string form, key;
        forEachTextLine(text, [&](std::string_view line) {
            const bool ascii = isAscii(line);
            plainForm(line, ascii, form);
            if (forms.seen(form, ascii))
                return;
            collation.sortKey(line, key);
            candidates.emplace_back(key, static_cast<size_t>(line.data() - text.data()), keys);
        });
    }
    std::sort(candidates.begin(), candidates.end(), candidateLess);

    size_t count = 0;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (i > 0 && compareKeys(candidates[i - 1], candidates[i]) == 0)
            continue;
        const size_t pos = candidates[i].textPos();
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        emit(text.substr(pos, end - pos));
        ++count;
    }
    return count;
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

    LineCollation collation(userCollationLocale());
    try {
        outcome.count = forEachDistinctLine(joined, collation, [&](std::string_view line) { writer->writeLine(line); });
        writer->commit();
    } catch (const FileError&) {
        throw Error(kStreamWriteError);
    }
    return outcome;
}

std::string mergeStatusText(size_t count) { return gbk("文件合并整理完毕！共计：") + std::to_string(count); }

} // namespace vellumax
