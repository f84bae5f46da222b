#include "numbers/harvest_summary.h"

#include "text/gbk_codec.h"

#include <algorithm>

namespace vellumax {
namespace {

// The province-level names as the region texts begin with them, longest
// first where one begins another.
const std::vector<std::string>& provinceStems()
{
    static const std::vector<std::string> stems = [] {
        std::vector<std::string> names;
        for (const char* name :
             {"黑龙江", "内蒙古", "北京", "天津", "上海", "重庆", "河北", "山西", "辽宁", "吉林", "江苏", "浙江",
              "安徽",   "福建",   "江西", "山东", "河南", "湖北", "湖南", "广东", "海南", "四川", "贵州", "云南",
              "陕西",   "甘肃",   "青海", "台湾", "广西", "西藏", "宁夏", "新疆", "香港", "澳门"})
            names.push_back(gbk(name));
        return names;
    }();
    return stems;
}

// What may follow a province's name in the region text, and belongs to it.
const std::vector<std::string>& provinceEndings()
{
    static const std::vector<std::string> endings = [] {
        std::vector<std::string> names;
        for (const char* name : {"壮族自治区", "回族自治区", "维吾尔自治区", "自治区", "特别行政区", "省", "市"})
            names.push_back(gbk(name));
        return names;
    }();
    return endings;
}

} // namespace

RegionParts splitRegion(std::string_view region)
{
    const std::string_view whole = region;
    static const std::string china = gbk("中国");
    if (region.starts_with(china))
        region.remove_prefix(china.size());
    for (const std::string& stem : provinceStems()) {
        if (!region.starts_with(stem))
            continue;
        size_t end = stem.size();
        for (const std::string& ending : provinceEndings()) {
            if (region.substr(end).starts_with(ending)) {
                end += ending.size();
                break;
            }
        }
        const std::string_view province = region.substr(0, end);
        const std::string_view city = region.substr(end);
        return {province, city.empty() ? province : city};
    }
    return {{}, whole};
}

KindGroup kindGroup(bool valid, NumberKind kind)
{
    if (!valid)
        return KindGroup::Invalid;
    if (kind == NumberKind::FixedLine || kind == NumberKind::FixedLineOrMobile)
        return KindGroup::FixedLine;
    return kind == NumberKind::Mobile ? KindGroup::Mobile : KindGroup::Other;
}

const std::string& kindGroupName(KindGroup group)
{
    static const std::array<std::string, kKindGroups> names = {gbk("固定电话"), gbk("手机"), gbk("其他"), gbk("无效")};
    return names[static_cast<size_t>(group)];
}

HarvestSummary::Place HarvestSummary::placeOf(std::string_view region)
{
    if (const auto known = places_.find(region); known != places_.end())
        return known->second;
    static const std::string unknown = gbk("未知地区");
    const RegionParts parts = splitRegion(region);
    const std::string_view province =
        region.empty() || parts.province.empty() ? std::string_view(unknown) : parts.province;
    const std::string_view city = region.empty() ? std::string_view(unknown) : parts.city;
    Province& counts = provinces_.try_emplace(std::string(province)).first->second;
    size_t& cityCount = counts.cities.try_emplace(std::string(city), 0).first->second;
    const Place place{&counts, &cityCount};
    places_.emplace(std::string(region), place);
    return place;
}

HarvestSummary::Keyword& HarvestSummary::keyword(int32_t number)
{
    Keyword& row = keywords_[number];
    row.number = number;
    return row;
}

void HarvestSummary::addNumber(bool valid, NumberKind kind, std::string_view region, int32_t keywordNumber,
                               bool fromSite)
{
    ++numbers_;
    const KindGroup group = kindGroup(valid, kind);
    ++kinds_[static_cast<size_t>(group)];
    if (group != KindGroup::Invalid) {
        const Place place = placeOf(region);
        ++place.province->numbers;
        ++*place.city;
    }
    if (keywordNumber <= 0)
        return;
    Keyword& row = keyword(keywordNumber);
    ++row.numbers;
    ++(fromSite ? row.fromSites : row.fromEngine);
}

void HarvestSummary::addPageRead(int32_t keywordNumber)
{
    if (keywordNumber > 0)
        ++keyword(keywordNumber).pagesRead;
}

void HarvestSummary::nameKeyword(int32_t keywordNumber, std::string_view text)
{
    if (keywordNumber > 0)
        keyword(keywordNumber).keyword = text;
}

namespace {

std::vector<HarvestSummary::Count> mostFirst(std::vector<HarvestSummary::Count> counts)
{
    std::sort(counts.begin(), counts.end(), [](const auto& a, const auto& b) {
        return a.numbers != b.numbers ? a.numbers > b.numbers : a.name < b.name;
    });
    return counts;
}

} // namespace

std::vector<HarvestSummary::Count> HarvestSummary::provinces(size_t top) const
{
    std::vector<Count> all;
    for (const auto& [name, province] : provinces_)
        if (province.numbers > 0)
            all.push_back({name, province.numbers});
    all = mostFirst(std::move(all));
    if (all.size() <= top)
        return all;
    Count rest{gbk("其他"), 0};
    for (size_t i = top; i < all.size(); ++i)
        rest.numbers += all[i].numbers;
    all.resize(top);
    all.push_back(rest);
    return all;
}

std::vector<HarvestSummary::Count> HarvestSummary::cities(std::string_view province) const
{
    const auto found = provinces_.find(province);
    if (found == provinces_.end())
        return {};
    std::vector<Count> all;
    for (const auto& [name, numbers] : found->second.cities)
        if (numbers > 0)
            all.push_back({name, numbers});
    return mostFirst(std::move(all));
}

std::vector<HarvestSummary::Keyword> HarvestSummary::keywords() const
{
    std::vector<Keyword> rows;
    rows.reserve(keywords_.size());
    for (const auto& [number, row] : keywords_)
        if (row.numbers > 0 || row.pagesRead > 0)
            rows.push_back(row);
    return rows;
}

} // namespace vellumax
