#include "files/distinct_lines.h"

#include "files/line_collation.h"
#include "text/text_splitter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <exception>
#include <memory>
#include <thread>
#include <vector>

namespace vellumax {
namespace {

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
//
// A candidate takes 32 bytes: with a pointer and a flag of their own it
// would take 40, 8 MB more for the million candidates of a merge of two
// million numbers, and the sort would move a quarter more bytes.
class Candidate {
public:
    Candidate(std::string_view key, size_t textPos, KeyStore& store) : textPos_(textPos), longKey_(key.size() > 24)
    {
        head_[0] = word(key, 0);
        head_[1] = word(key, 8);
        if (longKey_)
            tail_.bytes = store.add(key.substr(16));
        else
            tail_.word = word(key, 16);
    }

    size_t textPos() const { return textPos_; }

    // <0, 0 or >0 as the key of `a` orders before, equal to or after that
    // of `b`.
    friend int compareKeys(const Candidate& a, const Candidate& b)
    {
        for (int i = 0; i < 2; ++i)
            if (a.head_[i] != b.head_[i])
                return a.head_[i] < b.head_[i] ? -1 : 1;
        if (!a.longKey_ && !b.longKey_)
            return a.tail_.word == b.tail_.word ? 0 : (a.tail_.word < b.tail_.word ? -1 : 1);
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

    // The key from its 17th byte on, zero-closed.
    const char* tailBytes(char (&buffer)[9]) const
    {
        if (longKey_)
            return tail_.bytes;
        for (int i = 0; i < 8; ++i)
            buffer[i] = static_cast<char>(tail_.word >> (56 - 8 * i));
        buffer[8] = '\0';
        return buffer;
    }

    uint64_t head_[2];
    union {
        uint64_t word;     // key bytes 17 to 24 of a short key
        const char* bytes; // the rest of a long key, in the key store
    } tail_;
    uint64_t textPos_ : 63;
    uint64_t longKey_ : 1;
};
static_assert(sizeof(Candidate) == 32);

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
//
// A set of its own: a std::unordered_set of the forms takes 75 MB for a
// million numbers, against 16 MB of slots here, and would take the merge of
// two million numbers past four times its input.
class FormSet {
public:
    FormSet(std::string_view text, const std::vector<Candidate>& candidates)
        : text_(text), candidates_(candidates), slots_(1024)
    {
    }

    // Whether a line of this form was met before; if not, the form is taken
    // in for the candidate that is added next.
    // `hash` is std::hash of the form.
    bool seen(std::string_view form, bool ascii, size_t hash)
    {
        const auto tag = static_cast<uint32_t>(hash >> 32);
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

// The lines of one part of the text that may stay, sorted by key and by
// the order they were met.
struct SortedPart {
    KeyStore keys;
    std::vector<Candidate> candidates;
};

// Part `part` of `parts` takes the lines whose plain form falls in its share
// of the hash values, so lines of one plain form all meet in one part and
// each part drops its own repeats. Lines of different plain forms may still
// be equal; the merge of the parts sees to those.
//
// A line whose plain form was met before is equal to that earlier line and
// is dropped at once, without a sort key. The others are sorted by key and
// by the order they were met.
void sortPart(std::string_view text, size_t part, size_t parts, const std::string& locale, SortedPart& sorted)
{
    LineCollation collation(locale);
    // Room for every line; memory is only taken where it is used, and the
    // list never moves while it grows.
    sorted.candidates.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n') +
                                                  std::count(text.begin(), text.end(), '\r') + 1));
    {
        FormSet forms(text, sorted.candidates);
        std::string form, key;
        forEachTextLine(text, [&](std::string_view line) {
            const bool ascii = isAscii(line);
            plainForm(line, ascii, form);
            const size_t hash = std::hash<std::string_view>{}(form);
            if (static_cast<uint32_t>(hash) % parts != part || forms.seen(form, ascii, hash))
                return;
            collation.sortKey(line, key);
            sorted.candidates.emplace_back(key, static_cast<size_t>(line.data() - text.data()), sorted.keys);
        });
    }
    std::sort(sorted.candidates.begin(), sorted.candidates.end(), candidateLess);
}

} // namespace

constexpr size_t kFetchAhead = 16;

size_t distinctLineParts(size_t textSize)
{
    if (textSize < (1u << 20))
        return 1;
    return std::clamp<size_t>(std::thread::hardware_concurrency(), 1, 4);
}

size_t forEachDistinctLine(std::string_view text, const std::string& locale, size_t parts,
                           const std::function<void(std::string_view line)>& line)
{
    if (const size_t nul = text.find('\0'); nul != std::string_view::npos)
        text = text.substr(0, nul);

    std::vector<SortedPart> sorted(std::max<size_t>(parts, 1));
    std::vector<std::exception_ptr> failures(sorted.size());
    {
        std::vector<std::jthread> helpers;
        const auto work = [&](size_t i) {
            try {
                sortPart(text, i, sorted.size(), locale, sorted[i]);
            } catch (...) {
                failures[i] = std::current_exception();
            }
        };
        for (size_t i = 1; i < sorted.size(); ++i)
            helpers.emplace_back(work, i);
        work(0);
    }
    for (const std::exception_ptr& failure : failures)
        if (failure)
            std::rethrow_exception(failure);

    // The parts merged: of each run of equal keys the first stays.
    std::vector<size_t> next(sorted.size(), 0);
    const Candidate* previous = nullptr;
    size_t count = 0;
    for (;;) {
        const Candidate* least = nullptr;
        size_t from = 0;
        for (size_t i = 0; i < sorted.size(); ++i) {
            if (next[i] == sorted[i].candidates.size())
                continue;
            const Candidate& head = sorted[i].candidates[next[i]];
            if (!least || candidateLess(head, *least)) {
                least = &head;
                from = i;
            }
        }
        if (!least)
            break;
        // The lines come out far apart in the text: the bytes of one a few
        // places further on are fetched meanwhile.
        if (const std::vector<Candidate>& list = sorted[from].candidates; next[from] + kFetchAhead < list.size())
            __builtin_prefetch(text.data() + list[next[from] + kFetchAhead].textPos());
        ++next[from];
        if (previous && compareKeys(*previous, *least) == 0)
            continue;
        previous = least;
        const size_t pos = least->textPos();
        size_t end = pos;
        while (end < text.size() && text[end] != '\r' && text[end] != '\n')
            ++end;
        line(text.substr(pos, end - pos));
        ++count;
    }
    return count;
}

} // namespace vellumax
