// classify [--out FILE] [--utf8] FILE...: what each number of the number
// files is, as a CSV table for a spreadsheet.
#include "cli/number_options.h"

#include "numbers/classification_csv.h"
#include "numbers/number_files.h"
#include "text/gbk_codec.h"
#include "text/line_writer.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <memory>
#include <vector>

namespace vellumax::cli {
namespace {

// Lets a spreadsheet recognise the UTF-8 table as UTF-8.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

} // namespace

int runClassify(const ClassifyOptions& options)
{
    // The table goes to its file through the line writer, so a failure
    // leaves an older file as it was; to stdout it goes only once every
    // input was read.
    std::unique_ptr<LineWriter> file;
    if (!options.output.empty())
        file = createOutput(options.output);
    std::string toStdout;
    bool first = true;
    const auto emit = [&](const std::string& gbkRow) {
        std::string row = options.utf8 ? utf8FromGbk(gbkRow) : gbkRow;
        if (first && options.utf8)
            row.insert(0, kByteOrderMark);
        first = false;
        if (file) {
            file->writeLine(row);
        } else {
            toStdout += row;
            toStdout += "\r\n";
        }
    };

    emit(classificationCsvHeader());
    size_t count = 0;
    const NumberClassifier classifier;
    classifyNumberFiles(classifier, options.inputs, [&](const ClassifiedBatch& batch) {
        for (size_t i = 0; i < batch.numbers.size(); ++i)
            emit(classificationCsvRow(batch.numbers[i], batch.facts[i]));
        count += batch.numbers.size();
    });

    if (file) {
        file->commit();
        std::printf("号码分类完毕！共计：%zu\n", count);
    } else {
        std::fwrite(toStdout.data(), 1, toStdout.size(), stdout);
    }
    return 0;
}

} // namespace vellumax::cli
