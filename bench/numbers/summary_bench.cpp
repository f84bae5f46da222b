// The summary of a harvest of 1,000,000 numbers with their origins, beside
// classifying them on every core: the summary is one pass over what the
// classification gave, and must take under a second.
#include "numbers/harvest_summary.h"
#include "numbers/number_files.h"
#include "support/timing.h"

#include <cstdio>
#include <random>

using namespace vellumax;

int main()
{
    constexpr int kNumbers = 1'000'000;
    std::mt19937 random(7);
    static const char* starts[] = {"010-",  "021-",  "0512-", "0755-", "0571-", "027-", "0731-",
                                   "0470-", "0771-", "0991-", "013",   "015",   "018",  "0000-"};
    std::vector<std::string> numbers;
    numbers.reserve(kNumbers);
    for (int i = 0; i < kNumbers; ++i) {
        std::string n = starts[random() % std::size(starts)];
        const int digits = n.size() == 3 ? 9 : 7 + static_cast<int>(random() % 2);
        for (int d = 0; d < digits; ++d)
            n += static_cast<char>('0' + random() % 10);
        numbers.push_back(std::move(n));
    }

    const NumberClassifier classifier;
    std::vector<NumberFacts> facts;
    const double classifying = bench::medianSeconds(1, [&] { facts = classifyBatch(classifier, numbers); });
    size_t kept = 0;
    const double summarising = bench::medianSeconds(5, [&] {
        HarvestSummary summary;
        for (size_t i = 0; i < facts.size(); ++i) {
            const int32_t keyword = static_cast<int32_t>(i % 500) + 1;
            summary.addNumber(facts[i].valid, facts[i].kind, facts[i].region, keyword, i % 3 == 0);
            if (i % 7 == 0)
                summary.addPageRead(keyword);
        }
        kept = summary.provinces(15).size() + summary.keywords().size();
    });
    std::printf("classifying %d numbers on every core: %.2f s\n", kNumbers, classifying);
    std::printf("summarising them: %.3f s (%.3fx the classification; bound 1 s: %s) [%zu rows]\n", summarising,
                summarising / classifying, summarising < 1.0 ? "kept" : "EXCEEDED", kept);
    return summarising < 1.0 ? 0 : 1;
}
