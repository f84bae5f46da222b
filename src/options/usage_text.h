#pragma once

#include <functional>
#include <string>
#include <string_view>

// After <functional>, which it uses without including.
#include <CLI/FormatterFwd.hpp>

namespace CLI {
class App;
}

namespace vellumax::cli {

// The usage text of the command-line programs, made from what their parsers
// declare, so that the help cannot say other than what is parsed.
//
// A command's entry is its synopsis, made from its options and their order,
// then its description from column 32. The description is the command's own
// text with each option's description put where the text names it in
// braces ("..., 默认 8; {--dedup} ..."); an option the text does not name
// gets a line of its own at the end. The line breaks are the texts' own.
//
// The synopsis shows a required option bare and others in brackets; an
// option that needs another goes inside that one's brackets
// ("[--state FILE [--resume]]"), options that exclude each other share one
// pair ("[--marker M | --wide]"), and one that may be given again is
// followed by "...". An option's value is shown by its option text.
std::string commandUsage(const CLI::App& command, std::string_view name);

// A program's whole usage: the head, every subcommand's entry, the entries
// of the program's own flags (--help, --version), a blank line and the
// program's footer.
std::string programUsage(const CLI::App& program);

// The formatter that gives CLI11's own help the same texts: a program's
// whole usage, or a subcommand's entry.
class UsageFormatter : public CLI::FormatterBase {
public:
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;
};

} // namespace vellumax::cli
