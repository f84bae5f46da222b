#pragma once

#include "search/nm_url.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace vellumax {

// The search engine's result-page endpoint: scheme and host.
inline constexpr std::string_view kEngineEndpoint = "http://www.baidu.com";

// Field markers, GBK bytes: the label that precedes a fax number.
inline constexpr std::string_view kChineseFaxMarker = "\xB4\xAB\xD5\xE6:"; // 传真:
inline constexpr std::string_view kLatinFaxMarker = "FAX:";

// The keyword with every leading and trailing byte of value 0 to 32 removed.
std::string trimKeyword(std::string_view keywordLine);

// Turns keyword lines into query bases, and keeps the field marker, which is
// one value for the whole program: empty at first, changed only by
// PrepareKeyword, never cleared.
class QueryBuilder {
public:
    explicit QueryBuilder(std::string endpoint = std::string(kEngineEndpoint));

    // Trims the line, stores it in the encoder's InputString, applies the
    // field-marker rule and returns the query base (endpoint, request
    // template, encoded keyword, "&pn=").
    std::string PrepareKeyword(std::string_view keywordLine);

    const std::string& fieldMarker() const { return fieldMarker_; }
    const std::string& endpoint() const { return endpoint_; }
    TNMURL& NMURL1() { return encoder_; }

private:
    std::string endpoint_;
    std::string fieldMarker_;
    TNMURL encoder_;
};

// The request URL: query base, the page offset in decimal, "&cl=3".
std::string PageUrl(std::string_view queryBase, int32_t pageOffset);

} // namespace vellumax
