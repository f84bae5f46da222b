// The headless search as its own process, pointed at a fixture engine and
// online whatever this machine's host name says: for the tests that stop or
// kill the search from outside.
//
//   search_child ENDPOINT [the search command's arguments]
#include "options/search_options.h"
#include "headless/headless_search.h"

#include <CLI/CLI.hpp>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <cstdlib>

int main(int argc, char** argv)
{
    using namespace vellumax;
    if (argc < 2)
        return 2;
    cli::SearchOptions options;
    CLI::App parser("search_child");
    cli::declareSearchOptions(parser, options);
    try {
        parser.parse(argc - 1, argv + 1);
    } catch (const CLI::ParseError&) {
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("js=false\nqt.webenginecontext=false"));
    HeadlessServices services;
    services.endpoint = argv[1];
    services.localAddressText = [] { return std::string("192.0.2.7"); };
    return runHeadlessSearch(options, services);
}
