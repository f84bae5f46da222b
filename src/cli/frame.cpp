// The command line of vellumax-cli and of the number program: the usage,
// the parse and the failures, over the subcommands each program declares.
#include "cli/frame.h"
#include "options/usage_text.h"
#include "program_info.h"
#include "text/error.h"
#include "text/file_errors.h"
#include "text/gbk_codec.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>

namespace vellumax::cli {
namespace {

// Why a call was wrong, in the tool's words; the parser's own texts are
// English.
const char* wrongCallReason(const CLI::ParseError& error)
{
    if (dynamic_cast<const CLI::RequiredError*>(&error))
        return "缺少参数";
    if (dynamic_cast<const CLI::ExtrasError*>(&error))
        return "多余的参数";
    if (dynamic_cast<const CLI::ValidationError*>(&error))
        return "参数值无效";
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&error))
        return "参数个数不对";
    if (dynamic_cast<const CLI::ExcludesError*>(&error))
        return "参数不能同时使用";
    return "调用有误";
}

int wrongCall(const CLI::App& cli, const char* reason)
{
    std::fprintf(stderr, "vellumax-cli: %s\n\n%s", reason, programUsage(cli).c_str());
    return 2;
}

} // namespace

int reportFailure(const std::string& message)
{
    std::fprintf(stderr, "vellumax-cli: %s\n", utf8FromGbk(message).c_str());
    return 1;
}

std::unique_ptr<LineWriter> createOutput(const std::string& path)
{
    try {
        return std::make_unique<LineWriter>(path);
    } catch (const Error&) {
        throw Error(cannotCreateFileMessage(path));
    }
}

} // namespace vellumax::cli

namespace vellumax::cli {

int runCommandLine(int argc, char** argv, const CommandDeclarations& declare)
{
    CLI::App cli("vellumax-cli", "vellumax-cli");
    // The help is the tool's own Chinese text, for the tool and every
    // subcommand alike.
    cli.set_help_flag();
    cli.formatter(std::make_shared<UsageFormatter>());
    bool help = false;
    bool version = false;
    cli.add_flag("-h,--help", help, "显示本说明");
    cli.add_flag("--version", version, "显示版本");
    cli.footer(
        "文件按 GBK 编码读写; 给人看的输出为 UTF-8.\n"
        "出错时在标准错误输出 \"vellumax-cli: \" 加原因: 调用有误退出码为 2 (并显示本说明),\n"
        "文件无法读写为 1.");
    cli.require_subcommand(0, 1);

    CommandRun run;
    declare(cli, run);

    try {
        cli.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        return wrongCall(cli, wrongCallReason(e));
    }
    if (help) {
        std::fputs(programUsage(cli).c_str(), stdout);
        return 0;
    }
    if (version) {
        std::puts("vellumax-cli " VELLUMAX_VERSION);
        return 0;
    }
    if (!run)
        return wrongCall(cli, "缺少命令");
    try {
        return run();
    } catch (const Error& e) {
        return reportFailure(e.what());
    } catch (const std::bad_alloc&) {
        return reportFailure("Out of memory");
    } catch (const std::exception& e) {
        return reportFailure(e.what());
    }
}

} // namespace vellumax::cli
