// filter [--valid] [--kind fixed|mobile] [--region TEXT]... OUT IN...: keeps
// the numbers of the number files that pass, for a campaign by region or by
// kind of line.
#include "cli/number_options.h"

#include "numbers/number_files.h"
#include "numbers/number_filter.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

namespace vellumax::cli {
namespace {

NumberFilter filterFromOptions(const FilterOptions& options)
{
    NumberFilter filter;
    filter.validOnly = options.validOnly;
    if (options.kind == "fixed")
        filter.kind = NumberFilter::Kind::Fixed;
    else if (options.kind == "mobile")
        filter.kind = NumberFilter::Kind::Mobile;
    for (const std::string& region : options.regions)
        filter.regionParts.push_back(gbkFromUtf8(region));
    return filter;
}

} // namespace

// The numbers that pass go to OUT in the order read, as a result file: the
// line writer puts them in place only once every input was read.
int runFilter(const FilterOptions& options)
{
    const NumberFilter filter = filterFromOptions(options);
    const NumberClassifier classifier;
    const std::unique_ptr<LineWriter> created = createOutput(options.output);
    LineWriter& out = *created;
    size_t read = 0, kept = 0;
    classifyNumberFiles(classifier, options.inputs, [&](const ClassifiedBatch& batch) {
        for (size_t i = 0; i < batch.numbers.size(); ++i) {
            if (filter.passes(batch.facts[i])) {
                out.writeLine(batch.numbers[i]);
                ++kept;
            }
        }
        read += batch.numbers.size();
    });
    out.commit();
    std::printf("号码筛选完毕！读取：%zu，保留：%zu\n", read, kept);
    return 0;
}

} // namespace vellumax::cli
