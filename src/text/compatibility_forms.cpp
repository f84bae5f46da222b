#include "text/compatibility_forms.h"

#include "text/gbk_codec.h"

#include <unicode/unorm2.h>

#include <stdexcept>

namespace vellumax {

std::string foldCompatibilityForms(std::string_view gbk)
{
    UErrorCode status = U_ZERO_ERROR;
    const UNormalizer2* nfkc = unorm2_getNFKCInstance(&status);
    if (U_FAILURE(status))
        throw std::runtime_error("the NFKC normaliser is not available");
    const std::u16string text = utf16FromGbk(gbk);
    // Folding never lengthens these forms much; NFKC may expand a few
    // ligatures and squared words, so the first try allows for that.
    std::u16string folded(text.size() * 2 + 8, u'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        status = U_ZERO_ERROR;
        const int32_t length = unorm2_normalize(nfkc, reinterpret_cast<const UChar*>(text.data()),
                                                static_cast<int32_t>(text.size()),
                                                reinterpret_cast<UChar*>(folded.data()),
                                                static_cast<int32_t>(folded.size()), &status);
        if (status == U_BUFFER_OVERFLOW_ERROR) {
            folded.assign(static_cast<size_t>(length), u'\0');
            continue;
        }
        if (U_FAILURE(status))
            throw std::runtime_error("the NFKC normaliser failed");
        folded.resize(static_cast<size_t>(length));
        return gbkFromUtf16(folded);
    }
    throw std::runtime_error("the NFKC normaliser failed");
}

} // namespace vellumax
