#include "search/query_builder.h"

#include "text/bytes.h"

#include <utility>

namespace vellumax {
namespace {

constexpr std::string_view kRequestTemplate = "/baidu?lm=0&si=&rn=10&ie=gb2312&ct=0&word=";
constexpr std::string_view kOffsetKey = "&pn=";
constexpr std::string_view kRequestTail = "&cl=3";
constexpr std::string_view kChineseFaxWord = "\xB4\xAB\xD5\xE6"; // 传真

bool isTrimmedByte(char c) { return static_cast<unsigned char>(c) <= 32; }

// Only "A" to "Z" are lowered; every other byte, the second byte of a GBK
// character included, stays as it is.
std::string asciiLowered(std::string_view text)
{
    std::string lowered(text);
    for (char& c : lowered)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    return lowered;
}

} // namespace

std::string trimKeyword(std::string_view keywordLine)
{
    size_t first = 0;
    size_t last = keywordLine.size();
    while (first < last && isTrimmedByte(keywordLine[first]))
        ++first;
    while (last > first && isTrimmedByte(keywordLine[last - 1]))
        --last;
    return std::string(keywordLine.substr(first, last - first));
}

QueryBuilder::QueryBuilder(std::string endpoint) : endpoint_(std::move(endpoint)) {}

std::string QueryBuilder::PrepareKeyword(std::string_view keywordLine)
{
    encoder_.InputString = trimKeyword(keywordLine);
    const std::string& keyword = encoder_.InputString;

    // A keyword that names neither word keeps the marker of the one before.
    if (containsBytes(asciiLowered(keyword), "fax"))
        fieldMarker_ = kLatinFaxMarker;
    else if (containsBytes(keyword, kChineseFaxWord))
        fieldMarker_ = kChineseFaxMarker;

    const std::string encoded = encoder_.EncodedInput();
    std::string base;
    base.reserve(endpoint_.size() + kRequestTemplate.size() + encoded.size() + kOffsetKey.size());
    base.append(endpoint_).append(kRequestTemplate).append(encoded).append(kOffsetKey);
    return base;
}

std::string PageUrl(std::string_view queryBase, int32_t pageOffset)
{
    std::string url(queryBase);
    url.append(std::to_string(pageOffset)).append(kRequestTail);
    return url;
}

} // namespace vellumax
