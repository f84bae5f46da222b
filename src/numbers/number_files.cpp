#include "numbers/number_files.h"

#include "text/error.h"
#include "text/file_errors.h"
#include "text/line_reader.h"

#include <algorithm>
#include <optional>
#include <thread>

namespace vellumax {
namespace {

// Large enough that starting the threads costs nothing next to the library's
// work, small enough to keep a batch's memory low.
constexpr size_t kBatchSize = 16384;
constexpr size_t kLeastPerThread = 256;

} // namespace

std::vector<NumberFacts> classifyBatch(const NumberClassifier& classifier, const std::vector<std::string>& numbers)
{
    std::vector<NumberFacts> facts(numbers.size());
    const auto classifyRange = [&](size_t from, size_t to) {
        for (size_t i = from; i < to; ++i)
            facts[i] = classifier.classify(numbers[i]);
    };
    // The library spends its time matching patterns number by number; the
    // numbers are independent, so the cores share them.
    const size_t cores = std::max(1u, std::thread::hardware_concurrency());
    const size_t threads = std::min(cores, numbers.size() / kLeastPerThread + 1);
    const size_t share = (numbers.size() + threads - 1) / threads;
    std::vector<std::jthread> helpers;
    for (size_t t = 1; t < threads; ++t)
        helpers.emplace_back(classifyRange, std::min(numbers.size(), t * share),
                             std::min(numbers.size(), (t + 1) * share));
    classifyRange(0, std::min(numbers.size(), share));
    return facts;
}

void classifyNumberFiles(const NumberClassifier& classifier, const std::vector<std::string>& paths,
                         const std::function<void(const ClassifiedBatch&)>& handle)
{
    ClassifiedBatch batch;
    const auto handOver = [&] {
        batch.facts = classifyBatch(classifier, batch.numbers);
        handle(batch);
        batch.numbers.clear();
    };
    std::string line;
    for (const std::string& path : paths) {
        std::optional<LineReader> opened;
        try {
            opened.emplace(path);
        } catch (const Error&) {
            // Named, as several files may be read.
            throw Error(cannotOpenFileMessage(path));
        }
        LineReader& reader = *opened;
        while (!reader.atEnd()) {
            reader.readLine(line);
            if (line.empty())
                continue;
            batch.numbers.push_back(line);
            if (batch.numbers.size() == kBatchSize)
                handOver();
        }
    }
    if (!batch.numbers.empty())
        handOver();
}

} // namespace vellumax
