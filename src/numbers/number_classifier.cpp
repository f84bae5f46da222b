#include "numbers/number_classifier.h"

#include "text/gbk_codec.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumber.pb.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <algorithm>
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

std::string numberKindName(NumberKind kind)
{
    switch (kind) {
    case NumberKind::FixedLine: return gbk("固定电话");
    case NumberKind::Mobile: return gbk("手机");
    case NumberKind::FixedLineOrMobile: return gbk("固定电话或手机");
    case NumberKind::TollFree: return gbk("免费电话");
    case NumberKind::PremiumRate: return gbk("付费电话");
    case NumberKind::SharedCost: return gbk("分摊付费电话");
    case NumberKind::Voip: return gbk("网络电话");
    case NumberKind::PersonalNumber: return gbk("个人号码");
    case NumberKind::Pager: return gbk("寻呼机");
    case NumberKind::Uan: return gbk("统一接入号码");
    case NumberKind::Voicemail: return gbk("语音信箱");
    case NumberKind::Unknown: break;
    }
    return gbk("未知");
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

    bool isValid(const std::optional<pn::PhoneNumber>& number) const
    {
        return number && util.IsValidNumber(*number);
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
    bool valid = lib.isValid(number);
    if (!valid) {
        // The extraction keeps an extension ("转801", "-801") as a last group
        // after a dash, where the library expects an extension mark; it gets
        // the last group marked as one, and the reading counts only when the
        // library then takes the number for valid.
        const size_t dash = text.rfind('-');
        if (dash != std::string::npos && dash > 0 && dash + 1 < text.size()) {
            std::optional<pn::PhoneNumber> withExtension =
                lib.parse(text.substr(0, dash) + " ext. " + text.substr(dash + 1));
            if (lib.isValid(withExtension)) {
                number = std::move(withExtension);
                valid = true;
            }
        }
    }

    NumberFacts facts;
    if (!number)
        return facts;
    facts.valid = valid;
    facts.kind = kindFromLibrary(lib.util.GetNumberType(*number));
    lib.util.Format(*number, pn::PhoneNumberUtil::INTERNATIONAL, &facts.international);
    if (valid)
        facts.region = gbkFromUtf8(lib.geocoder.GetDescriptionForNumber(*number, lib.chinese));
    return facts;
}

} // namespace vellumax
