// The duplicate test with 1,000,000 entries already in the result list:
// 100,000 candidate lines, half of them already held, extracted with the
// switch on. The linear scan the index stands in for is timed on a sample
// and scaled up, for comparison.
#include "search/fax_extraction.h"
#include "search/query_builder.h"
#include "support/timing.h"

#include <algorithm>
#include <cstdio>

using namespace vellumax;

namespace {

std::string number(long i) { return "0512-" + std::to_string(10'000'000 + i); }

} // namespace

int main(int argc, char** argv)
{
    const long entries = argc > 1 ? std::atol(argv[1]) : 1'000'000;
    const long candidates = argc > 2 ? std::atol(argv[2]) : 100'000;
    const std::string marker(kChineseFaxMarker);

    std::vector<std::string> lines;
    lines.reserve(candidates);
    for (long i = 0; i < candidates; ++i) // even: held already; odd: new
        lines.push_back(marker + number(i % 2 ? entries + i : i * (entries / candidates)));

    const std::vector<std::string_view> lineViews(lines.begin(), lines.end());
    ResultList results;
    size_t added = 0;
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        results.clear();
        for (long i = 0; i < entries; ++i)
            results.append(number(i));
        times.push_back(bench::medianSeconds(1, [&] {
            added = ExtractFaxNumbers(lineViews, marker, [] { return true; }, results);
        }));
    }
    std::sort(times.begin(), times.end());
    const double indexed = times[times.size() / 2];

    // The linear scan: compare with every caption until an equal one.
    const long sample = 200;
    const std::vector<std::string> captions(results.begin(), results.begin() + entries);
    size_t held = 0;
    const double scanned = bench::medianSeconds(3, [&] {
        held = 0;
        for (long i = 0; i < sample; ++i) {
            const std::string candidate = number(i % 2 ? entries + i : i * (entries / candidates));
            held += std::find(captions.begin(), captions.end(), candidate) != captions.end();
        }
    });
    const double linear = scanned * candidates / sample;

    std::printf("entries: %ld, candidates: %ld, appended: %zu\n", entries, candidates, added);
    std::printf("indexed duplicate test:  %8.3f s  (target < 0.2 s)\n", indexed);
    std::printf("linear scan (estimated): %8.3f s  (%.0f x the indexed test)\n", linear, linear / indexed);
    std::printf("peak memory: %.0f MiB\n", bench::peakResidentMiB());
    return added == static_cast<size_t>(candidates / 2) && indexed < 0.2 ? 0 : 1;
}
