// classify [--out FILE] [--utf8] FILE...: what each number of the number
// files is, as a CSV table for a spreadsheet.
#include "cli/commands.h"

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

struct ClassifyOptions {
    std::vector<std::string> inputs;
    std::string output; // empty: stdout
    bool utf8 = false;
};

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

} // namespace

void addClassifyCommand(CLI::App& cli, CommandRun& run)
{
    CLI::App* sub = cli.add_subcommand(
        "classify", "  classify [--out FILE] [--utf8] FILE...\n"
                    "                                FILE 是号码文件, 每个号码一行; 按中国号码判断每个号码:\n"
                    "                                号码, 国际格式, 是否有效, 类型(固定电话, 手机...), 地区;\n"
                    "                                输出 CSV 表格(首行为表头, CR LF), 默认 GBK, --utf8 为带 BOM\n"
                    "                                的 UTF-8; --out 写入 FILE, 否则输出到标准输出\n");
    auto options = std::make_shared<ClassifyOptions>();
    sub->add_option("--out", options->output);
    sub->add_flag("--utf8", options->utf8);
    sub->add_option("FILE", options->inputs)->required();
    sub->callback([&run, options] { run = [options] { return runClassify(*options); }; });
}

} // namespace vellumax::cli
