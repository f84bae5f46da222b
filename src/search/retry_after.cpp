#include "search/retry_after.h"

#include "text/bytes.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <ctime>

namespace vellumax {
namespace {

// Longer than any wait the run would keep; a bigger number is cut to it
// instead of overflowing.
constexpr int64_t kFarFutureMs = int64_t{1} << 50;

// A reader over the date text that takes one field at a time and tells at
// the end whether every field was there.
class Fields {
public:
    explicit Fields(std::string_view text) : text_(text) {}

    bool ok() const { return ok_; }
    bool atEnd() const { return text_.empty(); }

    void literal(std::string_view expected)
    {
        if (text_.substr(0, expected.size()) != expected)
            ok_ = false;
        else
            text_.remove_prefix(expected.size());
    }
    void spaces()
    {
        if (text_.empty() || text_.front() != ' ')
            ok_ = false;
        while (!text_.empty() && text_.front() == ' ')
            text_.remove_prefix(1);
    }
    // Up to `most` digits, at least one.
    int number(size_t most)
    {
        size_t n = 0;
        int value = 0;
        while (n < most && n < text_.size() && std::isdigit(static_cast<unsigned char>(text_[n])))
            value = value * 10 + (text_[n++] - '0');
        if (n == 0)
            ok_ = false;
        text_.remove_prefix(n);
        return value;
    }
    // A day or month name: letters up to the next non-letter.
    std::string_view word()
    {
        size_t n = 0;
        while (n < text_.size() && std::isalpha(static_cast<unsigned char>(text_[n])))
            ++n;
        const std::string_view w = text_.substr(0, n);
        text_.remove_prefix(n);
        if (w.empty())
            ok_ = false;
        return w;
    }
    int month()
    {
        static constexpr std::array<std::string_view, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                                     "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
        const std::string_view w = word();
        const auto it = std::find(kMonths.begin(), kMonths.end(), w);
        if (it == kMonths.end())
            ok_ = false;
        return static_cast<int>(it - kMonths.begin());
    }
    void time(std::tm& t)
    {
        t.tm_hour = number(2);
        literal(":");
        t.tm_min = number(2);
        literal(":");
        t.tm_sec = number(2);
    }

private:
    std::string_view text_;
    bool ok_ = true;
};

// The date in seconds since the epoch, or nothing when it is not an HTTP
// date. The day name is not checked against the date.
std::optional<int64_t> httpDate(std::string_view text)
{
    std::tm t{};
    Fields f(text);
    f.word(); // day name
    if (text.find(',') != std::string_view::npos) {
        f.literal(",");
        f.spaces();
        t.tm_mday = f.number(2);
        const bool obsolete = text.find('-') != std::string_view::npos;
        if (obsolete) {
            // Sunday, 06-Nov-94 08:49:37 GMT: a two-digit year within 50
            // years of now, as every current reader takes it.
            f.literal("-");
            t.tm_mon = f.month();
            f.literal("-");
            const int yy = f.number(2);
            t.tm_year = yy < 70 ? 100 + yy : yy;
        } else {
            f.spaces();
            t.tm_mon = f.month();
            f.spaces();
            t.tm_year = f.number(4) - 1900;
        }
        f.spaces();
        f.time(t);
        f.spaces();
        f.literal("GMT");
    } else {
        // Sun Nov  6 08:49:37 1994
        f.spaces();
        t.tm_mon = f.month();
        f.spaces();
        t.tm_mday = f.number(2);
        f.spaces();
        f.time(t);
        f.spaces();
        t.tm_year = f.number(4) - 1900;
    }
    if (!f.ok() || !f.atEnd() || t.tm_mday < 1 || t.tm_mday > 31 || t.tm_hour > 23 || t.tm_min > 59 ||
        t.tm_sec > 60)
        return std::nullopt;
    return static_cast<int64_t>(timegm(&t));
}

} // namespace

std::optional<int64_t> retryAfterWaitMs(std::string_view value, int64_t nowUnixMs)
{
    value = trimmedBlanks(value);
    if (value.empty())
        return std::nullopt;
    if (std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        int64_t seconds = 0;
        for (const char c : value) {
            seconds = seconds * 10 + (c - '0');
            if (seconds * 1000 > kFarFutureMs)
                return kFarFutureMs;
        }
        return seconds * 1000;
    }
    const std::optional<int64_t> date = httpDate(value);
    if (!date)
        return std::nullopt;
    return std::clamp<int64_t>(*date * 1000 - nowUnixMs, 0, kFarFutureMs);
}

} // namespace vellumax
