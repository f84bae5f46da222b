#include "numbers/number_classifier.h"

#include "text/gbk_codec.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <algorithm>
#include <array>
#include <optional>

namespace vellumax {

namespace pn = i18n::phonenumbers;

namespace {

// Every number in the result list was found on a Chinese page and is kept
// in the domestic form, so it is read as a number of this region.
constexpr const char* kHomeRegion = "CN";

NumberKind kindFromLibrary(pn::PhoneNumberUtil::PhoneNumberType type)
{
    using T = pn::PhoneNumberUtil;
    switch (type) {
    case T::FIXED_LINE: return NumberKind::FixedLine;
    case T::MOBILE: return NumberKind::Mobile;
    case T::FIXED_LINE_OR_MOBILE: return NumberKind::FixedLineOrMobile;
    case T::TOLL_FREE: return NumberKind::TollFree;
    case T::PREMIUM_RATE: return NumberKind::PremiumRate;
    case T::SHARED_COST: return NumberKind::SharedCost;
    case T::VOIP: return NumberKind::Voip;
    case T::PERSONAL_NUMBER: return NumberKind::PersonalNumber;
    case T::PAGER: return NumberKind::Pager;
    case T::UAN: return NumberKind::Uan;
    case T::VOICEMAIL: return NumberKind::Voicemail;
    case T::UNKNOWN: break;
    }
    return NumberKind::Unknown;
}

bool isAscii(std::string_view bytes)
{
    return std::all_of(bytes.begin(), bytes.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

const std::string& numberKindName(NumberKind kind)
{
    // In the order of NumberKind; converted once, as rows ask for them by
    // the million.
    static const std::array<std::string, 12> names = {
        gbk("固定电话"), gbk("手机"), gbk("固定电话或手机"), gbk("免费电话"),
        gbk("付费电话"), gbk("分摊付费电话"), gbk("网络电话"), gbk("个人号码"),
        gbk("寻呼机"), gbk("统一接入号码"), gbk("语音信箱"), gbk("未知"),
    };
    static_assert(static_cast<size_t>(NumberKind::Unknown) + 1 == 12);
    return names[static_cast<size_t>(kind)];
}

std::string numberSummary(const NumberFacts& facts)
{
    if (!facts.valid)
        return gbk("无效号码");
    const std::string kind = numberKindName(facts.kind);
    return facts.region.empty() ? kind : facts.region + gbk(" · ") + kind;
}

struct NumberClassifier::Library {
    const pn::PhoneNumberUtil& util = *pn::PhoneNumberUtil::GetInstance();
    pn::PhoneNumberOfflineGeocoder geocoder;
    icu::Locale chinese{"zh", "CN"};

    std::optional<pn::PhoneNumber> parse(const std::string& text) const
    {
        pn::PhoneNumber number;
        if (util.Parse(text, kHomeRegion, &number) != pn::PhoneNumberUtil::NO_PARSING_ERROR)
            return std::nullopt;
        return number;
    }

    // The library's validity test is its type test answering anything but
    // "unknown"; the type is asked for once and serves as both.
    pn::PhoneNumberUtil::PhoneNumberType typeOf(const std::optional<pn::PhoneNumber>& number) const
    {
        return number ? util.GetNumberType(*number) : pn::PhoneNumberUtil::UNKNOWN;
    }

    // What the geocoder's GetDescriptionForNumber() answers, without its
    // second type test: geographical numbers are looked up by prefix, the
    // others get the geocoder's own answer (the country's name).
    std::string regionOf(const pn::PhoneNumber& number, pn::PhoneNumberUtil::PhoneNumberType type) const
    {
        if (util.IsNumberGeographical(type, number.country_code()))
            return geocoder.GetDescriptionForValidNumber(number, chinese);
        return geocoder.GetDescriptionForNumber(number, chinese);
    }
};

NumberClassifier::NumberClassifier()
    : library_(std::make_unique<Library>())
{
}

NumberClassifier::~NumberClassifier() = default;

NumberFacts NumberClassifier::classify(std::string_view storedNumber) const
{
    const Library& lib = *library_;
    // The library reads UTF-8; a stored number is plain ASCII but for junk.
    const std::string text = isAscii(storedNumber) ? std::string(storedNumber) : utf8FromGbk(storedNumber);

    std::optional<pn::PhoneNumber> number = lib.parse(text);
    auto type = lib.typeOf(number);
    if (type == pn::PhoneNumberUtil::UNKNOWN) {
        // A page's extension comes through the extraction as a last group
        // after a dash (0512-12345678-801), where the library expects an
        // extension mark; it gets the last group marked as one, and that
        // reading counts only when the library then takes it for valid.
        const size_t dash = text.rfind('-');
        if (dash != std::string::npos && dash > 0 && dash + 1 < text.size()) {
            std::optional<pn::PhoneNumber> withExtension =
                lib.parse(text.substr(0, dash) + " ext. " + text.substr(dash + 1));
            const auto extensionType = lib.typeOf(withExtension);
            if (extensionType != pn::PhoneNumberUtil::UNKNOWN) {
                number = std::move(withExtension);
                type = extensionType;
            }
        }
    }

    NumberFacts facts;
    if (!number)
        return facts;
    facts.valid = type != pn::PhoneNumberUtil::UNKNOWN;
    facts.kind = kindFromLibrary(type);
    lib.util.Format(*number, pn::PhoneNumberUtil::INTERNATIONAL, &facts.international);
    if (facts.valid)
        facts.region = gbkFromUtf8(lib.regionOf(*number, type));
    return facts;
}

} // namespace vellumax
