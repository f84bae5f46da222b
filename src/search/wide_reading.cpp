#include "search/wide_reading.h"

#include "search/page_analysis.h"
#include "search/query_builder.h"
#include "search/wide_number_forms.h"
#include "text/compatibility_forms.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vellumax {
namespace {

// A whole Chinese number has ten digits or more: an area code and its line
// (3 + 7 up to 4 + 8), or a mobile number (11). A blank after ten digits
// ends the number rather than parting its groups.
constexpr int kWholeNumberDigits = 10;

constexpr std::string_view kChuan = "\xB4\xAB";       // 传
constexpr std::string_view kChuanOld = "\x82\xF7";    // 傳
constexpr std::string_view kZhen = "\xD5\xE6";        // 真
constexpr std::string_view kHaoMa = "\xBA\xC5\xC2\xEB"; // 号码
constexpr std::string_view kHao = "\xBA\xC5";         // 号
// After a fax word, these make it prose: "传真至本中心（028-...）".
constexpr std::array<std::string_view, 2> kToWords = {"\xD6\xC1", "\xB5\xBD"}; // 至 到
constexpr std::string_view kFullStop = "\xA1\xA3";                             // 。
// Prose under 传真至 reads past counts and dates ("3楼", "5日") to a number
// of at least this many digits.
constexpr int kShortestProseNumber = 7;
constexpr std::array<std::string_view, 3> kLongDashes = {"\xA1\xAA", "\xA8\x43", "\xA8\x44"}; // — – ―
// Between two numbers of one label: 、 或 及 和 (besides / , ; &).
constexpr std::array<std::string_view, 4> kNumberSeparators = {"\xA1\xA2", "\xBB\xF2", "\xBC\xB0", "\xBA\xCD"};
// Words that make a label of their own: a label ends with the last of them
// before its colon, unless it is joined to the one before (电话/传真).
constexpr std::array<std::string_view, 12> kLabelWords = {
    "\xB5\xE7\xBB\xB0", // 电话
    "\xCA\xD6\xBB\xFA", // 手机
    "\xD7\xDC\xBB\xFA", // 总机
    "\xC8\xC8\xCF\xDF", // 热线
    "\xBF\xCD\xB7\xFE", // 客服
    "\xD7\xF9\xBB\xFA", // 座机
    "\xD3\xCA\xB1\xE0", // 邮编
    "\xB5\xD8\xD6\xB7", // 地址
    "\xCD\xF8\xD6\xB7", // 网址
    "\xD3\xCA\xCF\xE4", // 邮箱
    "\xC1\xAA\xCF\xB5", // 联系
    "\xCE\xA2\xD0\xC5", // 微信
};
constexpr std::array<std::string_view, 5> kLatinLabelWords = {"tel", "phone", "mobile", "mail", "qq"};

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLatinLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }
char lower(char c) { return isLatinLetter(c) ? static_cast<char>(c | 0x20) : c; }
bool isLeadByte(char c) { return static_cast<unsigned char>(c) >= 0x81 && static_cast<unsigned char>(c) <= 0xFE; }

size_t charLength(std::string_view s, size_t i) { return isLeadByte(s[i]) && i + 1 < s.size() ? 2 : 1; }

// Byte by byte: the words are a few bytes long, too short for memcmp.
bool startsWithAt(std::string_view s, size_t i, std::string_view word)
{
    if (i + word.size() > s.size())
        return false;
    for (size_t k = 0; k < word.size(); ++k)
        if (s[i + k] != word[k])
            return false;
    return true;
}

template <size_t N>
size_t oneOfAt(std::string_view s, size_t i, const std::array<std::string_view, N>& words)
{
    for (const std::string_view word : words)
        if (startsWithAt(s, i, word))
            return word.size();
    return 0;
}

size_t dashAt(std::string_view s, size_t i) { return s[i] == '-' ? 1 : oneOfAt(s, i, kLongDashes); }

// A character the marker rule reads as part of a number, or a long dash.
bool isNumberCharAt(std::string_view s, size_t i)
{
    const char c = s[i];
    return isDigit(c) || c == '(' || c == ')' || c == '+' || dashAt(s, i) != 0;
}

bool containsFoldedLatin(std::string_view s, std::string_view word)
{
    for (size_t i = 0; i + word.size() <= s.size(); ++i) {
        size_t k = 0;
        while (k < word.size() && lower(s[i + k]) == word[k])
            ++k;
        if (k == word.size())
            return true;
    }
    return false;
}

// The length of a fax word at `i`: 传真 or 傳真 (blanks may stand between the
// two), or "fax" in any case, not the start of a longer word (faxes).
size_t faxWordAt(std::string_view s, size_t i)
{
    if (startsWithAt(s, i, kChuan) || startsWithAt(s, i, kChuanOld)) {
        size_t j = i + 2;
        while (j < s.size() && isBlank(s[j]))
            ++j;
        return startsWithAt(s, j, kZhen) ? j + 2 - i : 0;
    }
    if (i + 3 > s.size() || lower(s[i]) != 'f' || lower(s[i + 1]) != 'a' || lower(s[i + 2]) != 'x')
        return 0;
    if (i + 3 < s.size() && isLatinLetter(s[i + 3]) && lower(s[i + 3]) != 'n')
        return 0;
    return 3;
}

// What may follow a fax word before its colon or number: 号码, 号, No., #.
size_t faxWordSuffixAt(std::string_view s, size_t i)
{
    if (startsWithAt(s, i, kHaoMa))
        return kHaoMa.size();
    if (startsWithAt(s, i, kHao))
        return kHao.size();
    size_t j = i;
    if (j + 1 < s.size() && lower(s[j]) == 'n' && lower(s[j + 1]) == 'o')
        j += 2;
    while (j < s.size() && (s[j] == '.' || s[j] == '#'))
        ++j;
    return j - i;
}

// A bracket that may close a label: ] 】 》 」 』.
size_t closingBracketAt(std::string_view s, size_t i)
{
    if (s[i] == ']')
        return 1;
    return oneOfAt(s, i, std::array<std::string_view, 4>{"\xA1\xBF", "\xA1\xB7", "\xA1\xB9", "\xA1\xBB"});
}

bool holdsFaxWord(std::string_view s)
{
    for (size_t i = 0; i < s.size(); i += charLength(s, i))
        if (faxWordAt(s, i))
            return true;
    // A lone F right before the colon stands for fax: "T: ... F: ...",
    // "Tel/F:".
    return !s.empty() && lower(s.back()) == 'f' && (s.size() == 1 || !isLatinLetter(s[s.size() - 2]));
}

bool holdsLabelWord(std::string_view s)
{
    for (size_t i = 0; i < s.size(); i += charLength(s, i))
        if (oneOfAt(s, i, kLabelWords) || faxWordAt(s, i))
            return true;
    for (const std::string_view word : kLatinLabelWords)
        if (containsFoldedLatin(s, word))
            return true;
    return false;
}

bool isJoiner(std::string_view s, size_t i)
{
    const char c = s[i];
    return c == '/' || c == '&' || c == '(' || c == ')' || startsWithAt(s, i, "\xA1\xA2") ||
           startsWithAt(s, i, "\xBA\xCD") || startsWithAt(s, i, "\xBC\xB0");
}

// Whether the text before a colon names a fax label. Only its last label
// counts ("传真号码见下 电话:" is a phone label), with the words joined to it
// ("电话/传真:", "传真 (Fax):", "Tel & Fax:", "Fax No.:", "传 真:").
bool isFaxLabel(std::string_view text)
{
    // The blank-parted pieces of the text, from the last one back.
    std::vector<std::pair<size_t, size_t>> pieces;
    for (size_t i = 0; i < text.size();) {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        const size_t start = i;
        while (i < text.size() && !isBlank(text[i]))
            i += charLength(text, i);
        if (i > start)
            pieces.emplace_back(start, i);
    }
    if (pieces.empty())
        return false;
    size_t first = pieces.size() - 1;
    while (first > 0) {
        const std::string_view group = text.substr(pieces[first].first, pieces.back().second - pieces[first].first);
        const auto [prevStart, prevEnd] = pieces[first - 1];
        const bool joined = isJoiner(group, 0) || isJoiner(text, prevEnd - 1) ||
                            (prevEnd - prevStart == 2 && isLeadByte(text[prevStart]));
        if (!joined && holdsLabelWord(group))
            break;
        --first;
    }
    return holdsFaxWord(text.substr(pieces[first].first));
}

bool isSeparatorAt(std::string_view s, size_t i, size_t& length)
{
    const char c = s[i];
    if (c == '/' || c == ',' || c == ';' || c == '&' || c == '\\') {
        length = 1;
        return true;
    }
    length = oneOfAt(s, i, kNumberSeparators);
    return length != 0;
}

// A number as written that is a date (2019-10-12, 2019.10.12), which the
// marker rule would take for a number of eleven bytes.
bool looksLikeDate(std::string_view written)
{
    if (written.size() < 8 || written.size() > 10 || !(written.starts_with("19") || written.starts_with("20")))
        return false;
    const char separator = written[4];
    if (separator != '-' && separator != '.')
        return false;
    int separators = 0;
    for (const char c : written) {
        if (c == separator)
            ++separators;
        else if (!isDigit(c))
            return false;
    }
    return separators == 2;
}

bool opensNumberPart(std::string_view rest)
{
    size_t i = 0;
    while (i < rest.size() && isBlank(rest[i]))
        ++i;
    return i < rest.size() && (isDigit(rest[i]) || rest[i] == '+');
}

// 86 or 0086 as a number's first digits, followed by a blank or a sign; any
// first digits after a plus sign are a country code too (+852 2806 8044).
bool isCountryCode(std::string_view group) { return group == "86" || group == "0086"; }

// An area code as its first digits: 010, 02x, or 0 and three digits from
// 3 on; after a country code the same without the 0.
bool isAreaCode(std::string_view group, bool afterCountryCode)
{
    if (group.starts_with('0'))
        return areaCodeLength(group) == group.size();
    return afterCountryCode && areaCodeLength("0" + std::string(group)) == group.size() + 1;
}

} // namespace

std::string plainNumberAt(std::string_view text, size_t& length)
{
    std::string plain;
    plain.reserve(32);
    size_t groupStart = 0;    // where in `plain` the digit group being read begins
    size_t groupLength = 0;
    int groups = 0;           // digit groups so far, the country code's too
    int digits = 0;           // digits so far, the country code's too
    int countryCodeDigits = 0;
    bool plusFirst = false; // a plus sign before the first digit: a country code follows
    size_t i = 0;
    const auto endGroup = [&] {
        if (groups == 1 && groupLength > 0 &&
            (plusFirst || isCountryCode(std::string_view(plain).substr(groupStart, groupLength))))
            countryCodeDigits = static_cast<int>(groupLength);
        groupLength = 0;
    };
    while (i < text.size() && plain.size() < kNumberTailLength) {
        const char c = text[i];
        if (isDigit(c)) {
            if (groupLength == 0) {
                ++groups;
                groupStart = plain.size();
            }
            ++groupLength;
            plain += c;
            ++digits;
            ++i;
            continue;
        }
        if (isBlank(c) || c == '.') {
            size_t next = i;
            while (next < text.size() && (isBlank(text[next]) || text[next] == '.'))
                ++next;
            if (next >= text.size() || !isNumberCharAt(text, next))
                break;
            // Blanks beside a sign go; between digits they may stand for a
            // dash, or end the number.
            if (groupLength > 0 && isDigit(text[next])) {
                const std::string_view lastGroup = std::string_view(plain).substr(groupStart, groupLength);
                endGroup();
                const bool afterCountryCode = countryCodeDigits > 0 && groups == 1;
                if (!afterCountryCode && digits - countryCodeDigits >= kWholeNumberDigits)
                    break;
                const int nationalGroups = groups - (countryCodeDigits > 0 ? 1 : 0);
                if (afterCountryCode || (nationalGroups == 1 && isAreaCode(lastGroup, countryCodeDigits > 0)))
                    plain += '-';
            }
            i = next;
            continue;
        }
        if (const size_t dash = dashAt(text, i)) {
            endGroup();
            plain += '-';
            i += dash;
            continue;
        }
        if (c == '(' || c == ')' || c == '+') {
            // A bracket that opens a note, "(总机)", is no part of the number.
            if (c == '(' && !opensNumberPart(text.substr(i + 1)))
                break;
            endGroup();
            plusFirst = plusFirst || (c == '+' && groups == 0);
            plain += c;
            ++i;
            continue;
        }
        break;
    }
    // Dashes after the last digit draw a line ("Fax: 0755-82944243 -----"):
    // they are no part of the number.
    while (plain.ends_with('-'))
        plain.pop_back();
    length = digits > 0 ? i : 0;
    return digits > 0 ? plain : std::string();
}

namespace {

// Whether the byte at `i`, one of those nextFaxTrigger looks for, is where a
// fax label may stand: 真, fax in any case, a full-width X, or a lone F (or
// full-width Ｆ) before a colon.
bool isFaxTriggerAt(std::string_view s, size_t i)
{
    const auto before = [&](size_t back) { return i >= back ? s[i - back] : '\0'; };
    const auto colonAfter = [&] {
        size_t next = i + 1;
        while (next < s.size() && isBlank(s[next]))
            ++next;
        return (next < s.size() && s[next] == ':') || startsWithAt(s, next, "\xA3\xBA");
    };
    switch (static_cast<char>(s[i] | 0x20)) {
    case '\xE6': // 真 (D5 E6), or a full-width F (A3 C6, A3 E6)
        return (s[i] == '\xE6' && before(1) == '\xD5') || (before(1) == '\xA3' && colonAfter());
    case 'x':
        return lower(before(1)) == 'a' && lower(before(2)) == 'f';
    case '\xF8': // a full-width X (A3 D8, A3 F8)
        return before(1) == '\xA3';
    case 'f':
        return colonAfter();
    default:
        return false;
    }
}

} // namespace

size_t nextFaxTrigger(std::string_view s, size_t from)
{
    // The bytes are found 16 at a time; with bit 5 set, each test covers
    // both letter cases (and the two full-width forms).
    size_t i = from;
#if defined(__SSE2__)
    // 真 and the full-width forms are looked for with the byte before them,
    // which rules out most of the many other characters ending in E6.
    const __m128i caseBit = _mm_set1_epi8(0x20);
    const __m128i x = _mm_set1_epi8('x'), f = _mm_set1_epi8('f');
    const __m128i e6 = _mm_set1_epi8('\xE6'), f8 = _mm_set1_epi8('\xF8');
    const __m128i d5 = _mm_set1_epi8('\xD5'), a3 = _mm_set1_epi8('\xA3');
    if (i == 0 && !s.empty()) {
        const char c = static_cast<char>(s[0] | 0x20);
        if ((c == 'x' || c == 'f') && isFaxTriggerAt(s, 0))
            return 0;
        i = 1;
    }
    for (; i + 16 <= s.size(); i += 16) {
        const __m128i raw = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i));
        const __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s.data() + i - 1));
        const __m128i v = _mm_or_si128(raw, caseBit);
        const __m128i afterLead = _mm_or_si128(_mm_cmpeq_epi8(before, d5), _mm_cmpeq_epi8(before, a3));
        const __m128i paired = _mm_and_si128(_mm_or_si128(_mm_cmpeq_epi8(v, e6), _mm_cmpeq_epi8(v, f8)), afterLead);
        const __m128i hits = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, x), _mm_cmpeq_epi8(v, f)), paired);
        for (unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(hits)); mask != 0; mask &= mask - 1) {
            const size_t at = i + static_cast<size_t>(__builtin_ctz(mask));
            if (isFaxTriggerAt(s, at))
                return at;
        }
    }
#endif
    for (; i < s.size(); ++i) {
        const char c = static_cast<char>(s[i] | 0x20);
        if ((c == 'x' || c == 'f' || c == '\xE6' || c == '\xF8') && isFaxTriggerAt(s, i))
            return i;
    }
    return std::string_view::npos;
}

bool mayHoldFaxLabel(std::string_view line) { return nextFaxTrigger(line, 0) != std::string_view::npos; }

namespace {

// Whether a GBK character with this lead byte may be one the reading of
// labels looks at: A1 (、。— and the ideographic space), A3 (full-width
// forms), A8 (– ―), BA BB BC (和 或 及, 号), B4 and 82 (传 傳).
bool mayBeginSignOrLabel(char lead)
{
    switch (lead) {
    case '\xA1':
    case '\xA3':
    case '\xA8':
    case '\xBA':
    case '\xBB':
    case '\xBC':
    case '\xB4':
    case '\x82':
        return true;
    default:
        return false;
    }
}

// Whether the GBK character at `i` has a plainer compatibility form: the
// full-width forms (lead byte A3) and the ideographic space.
bool isCompatibilityFormAt(std::string_view s, size_t i)
{
    return i + 1 < s.size() && (s[i] == '\xA3' || (s[i] == '\xA1' && s[i + 1] == '\xA1'));
}

// Where the reading stands: under no fax label; under one, before its
// first number; in a sentence that sends something by fax (传真至), before
// its number; after a number, or after a separator that promises one more.
enum class Scope { None, Label, Prose, Number, Separator };

int digitCount(std::string_view plain) { return static_cast<int>(std::count_if(plain.begin(), plain.end(), isDigit)); }

// A number as written on a line, with what the reading knows around it.
struct WrittenNumber {
    std::string plain;
    std::string_view written;
    bool afterSlash;         // "/" stands right before it, blanks aside
    std::string_view before; // the fax number taken before it on the line
};

// The fax number a number read under `scope` gives, in the plain form, or
// nothing. After a fax number, with blanks or a separator between, a local
// number alone takes the area code of the one before, if it had one, and a
// few digits after "/" stand for its last ones ("021-53853033/3022"); with
// blanks only, any other number must be whole by itself: a count, a price, a
// postcode or a date is not.
std::optional<std::string> faxNumberUnder(Scope scope, WrittenNumber number)
{
    std::string& plain = number.plain;
    if (scope == Scope::None || looksLikeDate(plain) || looksLikeDate(number.written))
        return std::nullopt;
    // A local number alone cannot be dialled: the 0 the marker rule puts in
    // front would make its first digits an area code ("3161125-17").
    if ((scope == Scope::Label || scope == Scope::Prose) && isLocalNumber(plain))
        return std::nullopt;
    if (scope == Scope::Number || scope == Scope::Separator) {
        const std::string before = normaliseNumber(number.before);
        const std::string_view areaCode = areaCodeOf(before);
        if (number.afterSlash && !areaCode.empty())
            if (std::optional<std::string> next = withLastDigits(before, plain))
                return next;
        if (isLocalNumber(plain, scope == Scope::Separator)) {
            if (areaCode.empty())
                return std::nullopt;
            return std::string(areaCode) + '-' + plain;
        }
        if (scope == Scope::Number && !isWholeNumber(normaliseNumber(plain)))
            return std::nullopt;
    }
    return plain;
}

// " ' and “ ” ‘ ’.
size_t quoteAt(std::string_view s, size_t i)
{
    if (s[i] == '"' || s[i] == '\'')
        return 1;
    return oneOfAt(s, i, std::array<std::string_view, 4>{"\xA1\xB0", "\xA1\xB1", "\xA1\xAE", "\xA1\xAF"});
}

bool slashBefore(std::string_view s, size_t i)
{
    while (i > 0 && isBlank(s[i - 1]))
        --i;
    return i > 0 && s[i - 1] == '/';
}

// Whether the text in a bracket is a note: no digit, no colon, nothing yet
// to fold (a full-width digit or colon).
bool isNote(std::string_view inside)
{
    for (size_t i = 0; i < inside.size(); i += charLength(inside, i))
        if (isDigit(inside[i]) || inside[i] == ':' || isCompatibilityFormAt(inside, i))
            return false;
    return true;
}

// Whether the Latin word around `i` is one of another label (Tel, E-mail).
bool isLatinLabelWordAt(std::string_view s, size_t i)
{
    size_t end = i;
    while (end < s.size() && isLatinLetter(s[end]))
        ++end;
    return std::any_of(kLatinLabelWords.begin(), kLatinLabelWords.end(),
                       [&](std::string_view word) { return containsFoldedLatin(s.substr(i, end - i), word); });
}

// The numbers of one line after fax labels, in the plain form, before the
// marker rule's normalisation. `labelPending` comes in true when the line
// before ended with a fax label, and goes out true when this one does.
//
// With `needsFolding`, the line is read as it stands until a full-width
// form turns up where it may change the reading (under a fax label, or with
// one still to come): then it stops, sets `needsFolding`, and the line is
// to be folded and read again. Most full-width signs of a page stand far
// from any fax label, and folding costs more than the whole reading.
void plainFaxNumbers(std::string_view s, bool& labelPending, std::vector<std::string>& numbers,
                     bool* needsFolding = nullptr)
{
    numbers.clear();
    // Nothing before the first place a fax label may stand can open one:
    // the reading starts after the last colon before it, where a label's
    // text would start anyway. (ASCII bytes never stand inside a GBK
    // character, so the colon is one.)
    size_t from = 0;
    if (!labelPending) {
        const size_t first = nextFaxTrigger(s, 0);
        if (first == std::string_view::npos) {
            labelPending = false;
            return;
        }
        if (const void* colon = ::memrchr(s.data(), ':', first))
            from = static_cast<size_t>(static_cast<const char*>(colon) - s.data()) + 1;
    }
    Scope scope = labelPending ? Scope::Label : Scope::None;
    // Where the text that a colon would make a label begins.
    size_t labelStart = from;
    size_t i = from;
    while (i < s.size()) {
        const char c = s[i];
        if (isBlank(c)) {
            ++i;
            continue;
        }
        if (c == ':') {
            // A colon after a digit is a time or a port, not a label.
            size_t before = i;
            while (before > labelStart && isBlank(s[before - 1]))
                --before;
            const bool label = before > labelStart && !isDigit(s[before - 1]);
            scope = label && isFaxLabel(s.substr(labelStart, before - labelStart)) ? Scope::Label : Scope::None;
            labelStart = ++i;
            continue;
        }
        // Most characters of a line are words: only a few lead bytes begin
        // anything else (long dashes, 、 and the other separators, 传 and 傳,
        // full-width forms).
        if (isLeadByte(c) && !mayBeginSignOrLabel(c) && i + 1 < s.size()) {
            if (scope != Scope::Prose || oneOfAt(s, i, kLabelWords))
                scope = Scope::None;
            i += 2;
            continue;
        }
        if (isNumberCharAt(s, i)) {
            size_t length = 0;
            std::string plain = plainNumberAt(s.substr(i), length);
            if (length > 0) {
                if (scope == Scope::Prose && digitCount(plain) < kShortestProseNumber) {
                    // A count or a date in the sentence: its number is still to come.
                } else if (std::optional<std::string> number = faxNumberUnder(
                               scope, {std::move(plain), s.substr(i, length), slashBefore(s, i),
                                       numbers.empty() ? std::string_view() : std::string_view(numbers.back())})) {
                    numbers.push_back(std::move(*number));
                    scope = Scope::Number;
                } else {
                    scope = Scope::None;
                }
                labelStart = i += length;
                continue;
            }
            // A bracketed note without digits, "(Fax)" or "（总机）", leaves the
            // label as it is; a bracket with a label or a number in it is read.
            if (c == '(') {
                const size_t close = s.find(')', i);
                if (close != std::string_view::npos && close - i <= 32 && isNote(s.substr(i + 1, close - i - 1))) {
                    i = close + 1;
                    continue;
                }
            }
            i += dashAt(s, i) ? dashAt(s, i) : 1;
            continue;
        }
        size_t separator = 0;
        if (isSeparatorAt(s, i, separator)) {
            if (scope == Scope::Number)
                scope = Scope::Separator;
            else if (scope == Scope::Prose && c == ';')
                scope = Scope::None;
            if (c == ',' || c == ';')
                labelStart = i + separator;
            i += separator;
            continue;
        }
        if (const size_t word = faxWordAt(s, i)) {
            // A fax label without a colon: "传真 0512-...", "Fax No. 0512-...".
            i += word;
            // Or in a sentence: "请将回执传真至0335-3066206，".
            if (const size_t to = oneOfAt(s, i, kToWords)) {
                i += to;
                scope = Scope::Prose;
                continue;
            }
            i += faxWordSuffixAt(s, i);
            // A label in brackets: "【传真】0512-...", "[Fax] 0512-...".
            for (size_t bracket; i < s.size() && (bracket = closingBracketAt(s, i)) != 0;)
                i += bracket;
            size_t next = i;
            while (next < s.size() && isBlank(s[next]))
                ++next;
            if (next == s.size() || isNumberCharAt(s, next))
                scope = Scope::Label;
            else if (s[next] != ':')
                scope = Scope::None;
            continue;
        }
        // Quotes around a label or a number ("传真": "0551-65203999") change
        // nothing.
        if (const size_t quote = quoteAt(s, i)) {
            i += quote;
            continue;
        }
        if (needsFolding && isCompatibilityFormAt(s, i) &&
            (scope != Scope::None || nextFaxTrigger(s, labelStart) != std::string_view::npos)) {
            *needsFolding = true;
            numbers.clear();
            return;
        }
        // A word or a sign that is no part of a fax label's numbers. Most
        // signs end the text a colon would make a label of; words and
        // brackets do not. A sentence under 传真至 goes on to its full stop,
        // or to another label.
        const bool fullStop = startsWithAt(s, i, kFullStop);
        if (scope != Scope::Prose || fullStop || (isLatinLetter(c) && isLatinLabelWordAt(s, i)))
            scope = Scope::None;
        if (!isLeadByte(c) && !isLatinLetter(c) && c != '(' && c != ')' && c != '.' && c != '#' && c != '_')
            labelStart = i + 1;
        else if (fullStop)
            labelStart = i + 2;
        i += charLength(s, i);
    }
    labelPending = scope == Scope::Label;
}

bool isBlankLine(std::string_view line)
{
    for (const char c : line)
        if (!isBlank(c))
            return false;
    return true;
}

} // namespace

void WideFaxReader::readLine(std::string_view line, const FoundNumberCallback& found)
{
    if (labelPending_ && isBlankLine(line))
        return;
    bool labelPending = labelPending_;
    labelPending_ = false;

    // The marker rule's numbers first, as it gives them.
    std::vector<Specified>& specified = specified_;
    specified.clear();
    for (const std::string_view marker : {kChineseFaxMarker, kLatinFaxMarker})
        if (const std::optional<std::string_view> run = numberRunAfterMarker(line, marker)) {
            std::string number = normaliseNumber(*run);
            if (isWithinLengthWindow(number))
                specified.push_back({*run, wideNumberForm(std::move(number))});
        }
    if (!labelPending && specified.empty() && !mayHoldFaxLabel(line))
        return;

    const bool pendingBefore = labelPending;
    bool needsFolding = false;
    std::vector<std::string>& plain = plain_;
    plainFaxNumbers(line, labelPending, plain, &needsFolding);
    if (needsFolding) {
        labelPending = pendingBefore;
        plainFaxNumbers(foldCompatibilityForms(line), labelPending, plain);
    }
    labelPending_ = labelPending;

    // `found` may take the number it is given.
    for (const Specified& s : specified) {
        std::string number = s.number;
        found(number, line);
    }
    for (std::string& candidate : plain) {
        // Most often the marker rule read this very number: its form is
        // known then.
        auto same = std::find_if(specified.begin(), specified.end(),
                                 [&](const Specified& s) { return !s.given && s.run == candidate; });
        std::string number = same != specified.end() ? same->number : normaliseNumber(candidate);
        if (same == specified.end()) {
            if (!isWithinLengthWindow(number))
                continue;
            number = wideNumberForm(std::move(number));
            same = std::find_if(specified.begin(), specified.end(),
                                [&](const Specified& s) { return !s.given && s.number == number; });
        }
        if (same != specified.end())
            same->given = true;
        else
            found(number, line);
    }
}

void forEachWideFaxNumber(const std::vector<std::string_view>& pageLines, const FoundNumberCallback& found)
{
    WideFaxReader reader;
    for (const std::string_view line : pageLines)
        reader.readLine(line, found);
}

void forEachWideFaxNumberInText(std::string_view pageText, WideFaxReader& reader, const FoundNumberCallback& found)
{
    pageText = pageText.substr(0, pageText.find('\0'));
    for (size_t lineStart = 0; lineStart < pageText.size();) {
        const size_t at = reader.labelPending() ? lineStart : nextFaxTrigger(pageText, lineStart);
        if (at == std::string_view::npos)
            return;
        const PageLineSpan span = pageLineHolding(pageText, lineStart, at);
        reader.readLine(pageText.substr(span.start, std::min(span.end - span.start, kPageLineLimit)), found);
        lineStart = span.end + 2;
    }
}

size_t ExtractFaxNumbersWide(std::string_view pageText, const std::function<bool()>& deduplicate,
                             ResultList& results, const std::function<void(std::string_view line)>& appended)
{
    return addFaxNumbers(
        [&](const FoundNumberCallback& found) {
            WideFaxReader reader;
            forEachWideFaxNumberInText(pageText, reader, found);
        },
        deduplicate, results, appended);
}

} // namespace vellumax
