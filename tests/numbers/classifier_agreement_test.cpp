// The classifier asks the library each question once; its answers must be
// those of the library asked the plain way, number by number.
#include "numbers/number_classifier.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>
#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <random>

namespace vellumax {
namespace {

namespace pn = i18n::phonenumbers;

// Numbers in the forms the extraction stores, right and wrong: every kind of
// prefix, lengths around the right ones, dashes anywhere.
std::string storedNumber(std::mt19937& random)
{
    static const char* starts[] = {"010", "021", "020", "0512", "0755", "0470", "0913", "0898", "013", "015",
                                   "018", "017", "0400", "0800", "095", "0", "00", "012", "0600", "0179"};
    std::string n = starts[random() % std::size(starts)];
    if (random() % 2)
        n += '-';
    const int digits = 5 + static_cast<int>(random() % 6);
    for (int i = 0; i < digits; ++i)
        n += static_cast<char>('0' + random() % 10);
    if (random() % 5 == 0)
        n += "-" + std::to_string(random() % 10'000);
    return n;
}

TEST(ClassifierAgreement, SameAnswersAsThePlainLibraryCalls)
{
    const pn::PhoneNumberUtil& util = *pn::PhoneNumberUtil::GetInstance();
    const pn::PhoneNumberOfflineGeocoder geocoder;
    const icu::Locale chinese("zh", "CN");
    const NumberClassifier classifier;

    std::mt19937 random(15);
    int valid = 0, extensions = 0;
    for (int i = 0; i < 3000; ++i) {
        const std::string text = storedNumber(random);
        const NumberFacts facts = classifier.classify(text);
        SCOPED_TRACE(text);

        pn::PhoneNumber number;
        if (util.Parse(text, "CN", &number) != pn::PhoneNumberUtil::NO_PARSING_ERROR) {
            EXPECT_FALSE(facts.valid);
            EXPECT_EQ(facts.international, "");
            continue;
        }
        if (!util.IsValidNumber(number)) {
            // Read with the last group as its extension, as the classifier
            // tries then.
            const size_t dash = text.rfind('-');
            pn::PhoneNumber withExtension;
            if (dash != std::string::npos && dash > 0 && dash + 1 < text.size() &&
                util.Parse(text.substr(0, dash) + " ext. " + text.substr(dash + 1), "CN", &withExtension) ==
                    pn::PhoneNumberUtil::NO_PARSING_ERROR &&
                util.IsValidNumber(withExtension)) {
                number = withExtension;
                ++extensions;
            }
        }
        std::string international;
        util.Format(number, pn::PhoneNumberUtil::INTERNATIONAL, &international);
        EXPECT_EQ(facts.valid, util.IsValidNumber(number));
        EXPECT_EQ(static_cast<int>(facts.kind), static_cast<int>(util.GetNumberType(number)));
        EXPECT_EQ(facts.international, international);
        EXPECT_EQ(utf8FromGbk(facts.region), geocoder.GetDescriptionForNumber(number, chinese));
        valid += facts.valid;
    }
    // The numbers cover both answers and the extension reading.
    EXPECT_GT(valid, 300);
    EXPECT_GT(extensions, 30);
}

} // namespace
} // namespace vellumax
