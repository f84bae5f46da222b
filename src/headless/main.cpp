// vellumax-search: the search run of `vellumax-cli search`, which execs it
// with the call already checked. It needs no display and runs as root too.
#include "headless/headless_search.h"
#include "options/search_options.h"
#include "options/usage_text.h"

#include <CLI/CLI.hpp>
#include <QCoreApplication>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    using namespace vellumax;
    cli::SearchOptions options;
    CLI::App parser("vellumax-search", "vellumax-search");
    parser.set_help_flag();
    cli::declareSearchOptions(parser, options);
    try {
        parser.parse(argc, argv);
    } catch (const CLI::ParseError&) {
        std::fprintf(stderr, "vellumax-cli: 调用有误\n\n用法: vellumax-cli search ...\n%s",
                     cli::commandUsage(parser, "search").c_str());
        return 2;
    }

    // No window is shown: the offscreen platform needs no display, unless
    // the caller chose a platform. The browser engine's sandbox cannot start
    // as root; a root user gets the engine without it.
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (::geteuid() == 0)
        ::setenv("QTWEBENGINE_DISABLE_SANDBOX", "1", 0);
    // The engine's own chatter (its set-up, the pages' script console, the
    // missing graphics of a machine without a display) is not for the
    // person watching the progress; only its serious failures are.
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtCriticalMsg || type == QtFatalMsg)
            std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    });
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    // Qt reads options of its own from the arguments; they are all parsed.
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    return runHeadlessSearch(options);
}
