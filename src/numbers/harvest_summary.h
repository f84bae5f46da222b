#pragma once

#include "numbers/number_classifier.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace vellumax {

// The province and the city of a region as the classification names it
// ("江苏省苏州市", "广西南宁市", "中国香港特别行政区"), GBK, views into it. A
// municipality is its own city ("北京市", "北京市"); a region of no
// province known gives an empty province and the whole text as its city.
struct RegionParts {
    std::string_view province;
    std::string_view city;
};
RegionParts splitRegion(std::string_view gbkRegion);

// What kind of number it is, as a campaign asks: one that takes a fax, a
// mobile, any other valid number, or none at all.
enum class KindGroup { FixedLine, Mobile, Other, Invalid };
inline constexpr size_t kKindGroups = 4;
KindGroup kindGroup(bool valid, NumberKind kind);
// "固定电话", "手机", "其他", "无效", GBK.
const std::string& kindGroupName(KindGroup group);

// A harvest at a glance: where its numbers are, what kind they are, and
// what each keyword gave. Filled in one pass over the numbers, each with its
// classification and origin, and the pages the run read.
class HarvestSummary {
public:
    struct Count {
        std::string name; // GBK
        size_t numbers = 0;
        bool operator==(const Count&) const = default;
    };
    struct Keyword {
        int32_t number = 0;  // 1-based, in the keyword list
        std::string keyword; // GBK; empty when the list is not known
        size_t numbers = 0;
        size_t pagesRead = 0;
        size_t fromEngine = 0; // read on the engine's pages
        size_t fromSites = 0;  // read on the results' own sites
        double numbersPerPage() const { return pagesRead ? double(numbers) / double(pagesRead) : 0.0; }
    };

    // One number of the harvest: `region` as the classification names it,
    // `keywordNumber` 0 when it has no origin.
    void addNumber(bool valid, NumberKind kind, std::string_view region, int32_t keywordNumber, bool fromSite);
    // A result page read for the keyword, whether it gave numbers or not.
    void addPageRead(int32_t keywordNumber);
    // The keyword's text, for the table.
    void nameKeyword(int32_t keywordNumber, std::string_view keyword);

    size_t numbers() const { return numbers_; }
    // The provinces with most valid numbers first (equal counts by name),
    // the first `top` of them and the rest as one "其他"; numbers of no known
    // region count as "未知地区".
    std::vector<Count> provinces(size_t top = SIZE_MAX) const;
    // The cities of a province, most numbers first.
    std::vector<Count> cities(std::string_view province) const;
    const std::array<size_t, kKindGroups>& kinds() const { return kinds_; }
    // Every keyword that gave a number or had a page read, in list order.
    std::vector<Keyword> keywords() const;

private:
    struct Province {
        size_t numbers = 0;
        std::map<std::string, size_t, std::less<>> cities;
    };
    // Where a region's numbers are counted, found once for each region.
    struct Place {
        Province* province;
        size_t* city;
    };

    Place placeOf(std::string_view region);
    Keyword& keyword(int32_t number);

    std::map<std::string, Province, std::less<>> provinces_;
    std::map<std::string, Place, std::less<>> places_;
    std::array<size_t, kKindGroups> kinds_{};
    std::map<int32_t, Keyword> keywords_;
    size_t numbers_ = 0;
};

} // namespace vellumax
