#include "text/gbk_codec.h"

#include <unicode/ucnv.h>
#include <unicode/ucnv_cb.h>
#include <unicode/ustring.h>

#include <memory>
#include <new>
#include <stdexcept>

namespace vellumax {
namespace {

struct ConverterCloser {
    void operator()(UConverter* c) const { ucnv_close(c); }
};
using Converter = std::unique_ptr<UConverter, ConverterCloser>;

// ICU's own substitution skips a default-ignorable character that has no
// GBK form (U+200B, U+FEFF, ...) without a trace; the program wants a "?" for
// every such character, as the system conversion gives, so that a zero-width
// blank inside a number still ends the number.
void substituteEveryUnmappable(const void*, UConverterFromUnicodeArgs* args, const UChar*, int32_t, UChar32,
                               UConverterCallbackReason reason, UErrorCode* status)
{
    if (reason > UCNV_IRREGULAR)
        return;
    *status = U_ZERO_ERROR;
    ucnv_cbFromUWriteSub(args, 0, status);
}

// One converter per thread: opening one costs far more than a short
// conversion, and a converter must not be shared between threads.
UConverter* gbkConverter()
{
    thread_local Converter converter = [] {
        UErrorCode status = U_ZERO_ERROR;
        Converter c(ucnv_open("GBK", &status));
        if (U_FAILURE(status))
            throw std::runtime_error("the GBK converter is not available");
        ucnv_setSubstChars(c.get(), "?", 1, &status);
        ucnv_setFromUCallBack(c.get(), substituteEveryUnmappable, nullptr, nullptr, nullptr, &status);
        if (U_FAILURE(status))
            throw std::runtime_error("the GBK converter is not available");
        return c;
    }();
    ucnv_reset(converter.get());
    return converter.get();
}

std::u16string utf16FromUtf8(std::string_view utf8)
{
    std::u16string out(utf8.size() + 1, u'\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strFromUTF8WithSub(reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()), &length,
                         utf8.data(), static_cast<int32_t>(utf8.size()), 0xFFFD, nullptr, &status);
    if (U_FAILURE(status))
        throw std::bad_alloc();
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string utf8FromUtf16(std::u16string_view utf16)
{
    std::string out(utf16.size() * 3 + 1, '\0');
    int32_t length = 0;
    UErrorCode status = U_ZERO_ERROR;
    u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length,
                       reinterpret_cast<const UChar*>(utf16.data()), static_cast<int32_t>(utf16.size()), 0xFFFD,
                       nullptr, &status);
    if (U_FAILURE(status))
        throw std::bad_alloc();
    out.resize(static_cast<size_t>(length));
    return out;
}

} // namespace

std::string gbkFromUtf16(std::u16string_view utf16)
{
    if (utf16.empty())
        return {};
    UConverter* conv = gbkConverter();
    // GBK needs at most two bytes for one UTF-16 unit (a surrogate pair
    // becomes a single "?").
    std::string out(utf16.size() * 2 + 2, '\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_fromUChars(conv, out.data(), static_cast<int32_t>(out.size()),
                                     reinterpret_cast<const UChar*>(utf16.data()),
                                     static_cast<int32_t>(utf16.size()), &status);
    if (U_FAILURE(status))
        throw std::bad_alloc();
    out.resize(static_cast<size_t>(length));
    return out;
}

std::u16string utf16FromGbk(std::string_view gbk)
{
    if (gbk.empty())
        return {};
    UConverter* conv = gbkConverter();
    std::u16string out(gbk.size() + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = ucnv_toUChars(conv, reinterpret_cast<UChar*>(out.data()), static_cast<int32_t>(out.size()),
                                   gbk.data(), static_cast<int32_t>(gbk.size()), &status);
    if (U_FAILURE(status))
        throw std::bad_alloc();
    out.resize(static_cast<size_t>(length));
    return out;
}

std::string gbkFromUtf8(std::string_view utf8) { return gbkFromUtf16(utf16FromUtf8(utf8)); }

std::string utf8FromGbk(std::string_view gbk) { return utf8FromUtf16(utf16FromGbk(gbk)); }

std::string cutGbk(std::string_view text, std::size_t limit)
{
    if (text.size() <= limit)
        return std::string(text);
    // Walk from the start: a trail byte may look like a lead byte.
    const auto isLead = [](unsigned char c) { return c >= 0x81 && c <= 0xFE; };
    const auto isTrail = [](unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; };
    std::size_t end = 0;
    while (end < limit) {
        const bool pair = end + 1 < text.size() && isLead(static_cast<unsigned char>(text[end])) &&
                          isTrail(static_cast<unsigned char>(text[end + 1]));
        const std::size_t width = pair ? 2 : 1;
        if (end + width > limit)
            break;
        end += width;
    }
    return std::string(text.substr(0, end));
}

} // namespace vellumax
