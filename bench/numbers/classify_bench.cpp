// `vellumax-cli classify` over 1,000,000 numbers, against reading and writing
// the same file without classifying (the line reader and the line writer,
// which the command uses too). Beside it, on a sample, the numbers per
// second of the library asked the plain way, number by number (parse,
// validity, type, international form, region), of the classifier on one
// thread, and of the classifier on every core.
#include "numbers/number_classifier.h"
#include "numbers/number_files.h"
#include "support/timing.h"
#include "text/line_reader.h"
#include "text/line_writer.h"

#include <phonenumbers/geocoding/phonenumber_offline_geocoder.h>
#include <phonenumbers/phonenumberutil.h>
#include <unicode/locid.h>

#include <cstdio>
#include <random>
#include <sys/stat.h>

using namespace vellumax;
namespace pn = i18n::phonenumbers;

namespace {

const std::string kFolder = "/tmp/vellumax-classify-bench/";
constexpr int kNumbers = 1'000'000;
constexpr int kSample = 20'000;

// Numbers as the extraction stores them: fixed lines with and without a
// dash, mobiles with the leading 0, an extension now and then, some junk.
std::string storedNumber(std::mt19937& random)
{
    static const char* starts[] = {"010-", "021-", "020", "0512-", "0755-", "0571", "027-", "0731-",
                                   "0470-", "013", "015", "018", "0000-"};
    std::string n = starts[random() % std::size(starts)];
    const bool mobile = n.size() == 3 && n[1] == '1';
    const int digits = mobile ? 9 : 7 + static_cast<int>(random() % 2);
    for (int i = 0; i < digits; ++i)
        n += static_cast<char>('0' + random() % 10);
    if (random() % 10 == 0)
        n += "-" + std::to_string(random() % 1000);
    return n;
}

double perSecond(int count, double seconds) { return seconds > 0 ? count / seconds : 0; }

} // namespace

int main()
{
    ::mkdir(kFolder.c_str(), 0755);
    const std::string input = kFolder + "numbers.txt", copy = kFolder + "copy.txt", csv = kFolder + "numbers.csv";
    std::mt19937 random(15);
    std::vector<std::string> sample;
    {
        LineWriter writer(input);
        for (int i = 0; i < kNumbers; ++i) {
            const std::string n = storedNumber(random);
            if (i < kSample)
                sample.push_back(n);
            writer.writeLine(n);
        }
        writer.commit();
    }

    const double baseline = bench::medianSeconds(3, [&] {
        LineReader reader(input);
        LineWriter writer(copy);
        std::string line;
        while (!reader.atEnd()) {
            reader.readLine(line);
            writer.writeLine(line);
        }
        writer.commit();
    });
    const double classify =
        bench::medianCommandSeconds(1, std::string(VELLUMAX_CLI) + " classify --out " + csv + " " + input);
    std::printf("classify, %d numbers: %.2f s, %.0f numbers/s; baseline (read and write the file): %.2f s; "
                "ratio %.1f\n",
                kNumbers, classify, perSecond(kNumbers, classify), baseline, classify / baseline);

    // Where the time goes, on the sample.
    const pn::PhoneNumberUtil& util = *pn::PhoneNumberUtil::GetInstance();
    const pn::PhoneNumberOfflineGeocoder geocoder;
    const icu::Locale chinese("zh", "CN");
    size_t sink = 0;
    const double plain = bench::medianSeconds(3, [&] {
        for (const std::string& text : sample) {
            pn::PhoneNumber number;
            util.Parse(text, "CN", &number);
            std::string international;
            util.Format(number, pn::PhoneNumberUtil::INTERNATIONAL, &international);
            sink += util.IsValidNumber(number) + util.GetNumberType(number) + international.size() +
                    geocoder.GetDescriptionForNumber(number, chinese).size();
        }
    });
    const NumberClassifier classifier;
    const double oneThread = bench::medianSeconds(3, [&] {
        for (const std::string& text : sample)
            sink += classifier.classify(text).international.size();
    });
    const double allCores = bench::medianSeconds(3, [&] { sink += classifyBatch(classifier, sample).size(); });
    std::printf("sample of %d: library asked plainly %.0f/s; classifier, one thread %.0f/s; every core %.0f/s "
                "(%zu)\n",
                kSample, perSecond(kSample, plain), perSecond(kSample, oneThread), perSecond(kSample, allCores),
                sink % 10);

    std::remove(input.c_str());
    std::remove(copy.c_str());
    std::remove(csv.c_str());
    ::rmdir(kFolder.c_str());
    return 0;
}
