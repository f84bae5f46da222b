#include "files/line_collation.h"

#include "text/gbk_codec.h"

#include <cstdlib>
#include <stdexcept>
#include <unicode/ucol.h>
#include <unicode/ustring.h>

namespace vellumax {

LineCollation::LineCollation(const std::string& locale)
{
    UErrorCode status = U_ZERO_ERROR;
    collator_ = ucol_open(locale.c_str(), &status);
    if (U_FAILURE(status))
        throw std::runtime_error("no collation for the locale \"" + locale + "\"");
    ucol_setStrength(collator_, UCOL_TERTIARY);
}

LineCollation::~LineCollation() { ucol_close(collator_); }

void LineCollation::sortKey(std::string_view gbkLine, std::string& key)
{
    // Number files are almost all ASCII, which GBK leaves as it is and where
    // case folding only turns capitals into small letters.
    bool ascii = true;
    for (const char c : gbkLine)
        if (static_cast<unsigned char>(c) >= 0x80) {
            ascii = false;
            break;
        }
    int32_t foldedLength = 0;
    if (ascii) {
        folded_.resize(gbkLine.size());
        for (size_t i = 0; i < gbkLine.size(); ++i) {
            const char c = gbkLine[i];
            folded_[i] = static_cast<char16_t>(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        foldedLength = static_cast<int32_t>(gbkLine.size());
    } else {
        text_ = utf16FromGbk(gbkLine);
        // Full folding turns one unit into at most three.
        folded_.resize(text_.size() * 3 + 1);
        UErrorCode status = U_ZERO_ERROR;
        foldedLength = u_strFoldCase(reinterpret_cast<UChar*>(folded_.data()), static_cast<int32_t>(folded_.size()),
                                     reinterpret_cast<const UChar*>(text_.data()), static_cast<int32_t>(text_.size()),
                                     U_FOLD_CASE_DEFAULT, &status);
        if (U_FAILURE(status))
            throw std::runtime_error("case folding failed");
    }

    const auto* source = reinterpret_cast<const UChar*>(folded_.data());
    if (key.capacity() < 64)
        key.reserve(64);
    key.resize(key.capacity());
    int32_t length = ucol_getSortKey(collator_, source, foldedLength, reinterpret_cast<uint8_t*>(key.data()),
                                     static_cast<int32_t>(key.size()));
    if (static_cast<size_t>(length) > key.size()) {
        key.resize(static_cast<size_t>(length));
        length = ucol_getSortKey(collator_, source, foldedLength, reinterpret_cast<uint8_t*>(key.data()),
                                 static_cast<int32_t>(key.size()));
    }
    // The closing zero is the same in every key and orders nothing that the
    // length does not.
    key.resize(length > 0 ? static_cast<size_t>(length) - 1 : 0);
}

int LineCollation::compare(std::string_view gbkA, std::string_view gbkB)
{
    std::string a;
    sortKey(gbkA, a);
    sortKey(gbkB, scratch_);
    return a.compare(scratch_);
}

std::string userCollationLocale()
{
    std::string name;
    for (const char* variable : {"LC_ALL", "LC_COLLATE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value && *value) {
            name = value;
            break;
        }
    }
    if (const size_t cut = name.find_first_of(".@"); cut != std::string::npos)
        name.erase(cut);
    if (name == "C" || name == "POSIX")
        name.clear();
    return name;
}

} // namespace vellumax
