#include "options/usage_text.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <set>
#include <vector>

namespace vellumax::cli {
namespace {

// Where the descriptions begin, and how wide a synopsis line may grow.
constexpr size_t kDescriptionColumn = 32;
constexpr size_t kSynopsisWidth = 100;
constexpr std::string_view kIndent = "  ";

bool holds(const std::set<CLI::Option*>& options, const CLI::Option* option)
{
    return options.count(const_cast<CLI::Option*>(option)) > 0;
}

bool repeatable(const CLI::Option& option) { return option.get_items_expected_max() > 1; }

std::string optionName(const CLI::Option& option)
{
    return option.get_positional() ? option.get_name(true) : option.get_name();
}

class Synopsis {
public:
    explicit Synopsis(const CLI::App& command) : options_(command.get_options()) {}

    // The synopsis in groups, one for each option the command takes on its
    // own (with those that go with it), then one for each positional.
    std::vector<std::string> groups()
    {
        std::vector<std::string> groups;
        for (const CLI::Option* option : options_) {
            if (option->get_positional() || !option->get_needs().empty() || shown_.count(option))
                continue;
            std::string group = withDependents(*option);
            for (const CLI::Option* other : options_) {
                if (!shown_.count(other) && other->get_needs().empty() && holds(option->get_excludes(), other))
                    group += " | " + withDependents(*other);
            }
            groups.push_back(bracketed(*option, group));
        }
        for (const CLI::Option* option : options_) {
            if (option->get_positional())
                groups.push_back(bracketed(*option, optionName(*option)));
        }
        return groups;
    }

private:
    // The option and its value, then the options that need it.
    std::string withDependents(const CLI::Option& option)
    {
        shown_.insert(&option);
        std::string text = optionName(option);
        if (!option.get_option_text().empty())
            text += " " + option.get_option_text();
        for (const CLI::Option* other : options_) {
            if (holds(other->get_needs(), &option))
                text += " " + bracketed(*other, withDependents(*other));
        }
        return text;
    }

    static std::string bracketed(const CLI::Option& option, std::string text)
    {
        if (!option.get_required())
            text = "[" + text + "]";
        return repeatable(option) ? text + "..." : text;
    }

    std::vector<const CLI::Option*> options_;
    std::set<const CLI::Option*> shown_;
};

// The command's text with every option's description where the text names
// it, and the descriptions it does not name after it.
std::string description(const CLI::App& command)
{
    std::string text = command.get_description();
    std::vector<std::string> unnamed;
    for (const CLI::Option* option : command.get_options()) {
        const std::string& own = option->get_description();
        if (own.empty())
            continue;
        const std::string placeholder = "{" + optionName(*option) + "}";
        const size_t at = text.find(placeholder);
        if (at == std::string::npos)
            unnamed.push_back(own);
        else
            text.replace(at, placeholder.size(), own);
    }
    for (const std::string& own : unnamed)
        text += (text.empty() ? "" : "\n") + own;
    return text;
}

std::vector<std::string> lines(const std::string& text)
{
    std::vector<std::string> lines;
    for (size_t begin = 0; begin < text.size();) {
        const size_t end = std::min(text.find('\n', begin), text.size());
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    return lines;
}

// One entry: the lines of `head`, then the description's lines from the
// description column; a short single head shares its line with the first.
std::string entry(std::vector<std::string> head, const std::string& text)
{
    std::vector<std::string> body = lines(text);
    if (head.size() == 1 && !body.empty() && head.front().size() + kIndent.size() <= kDescriptionColumn) {
        head.front().resize(kDescriptionColumn, ' ');
        head.front() += body.front();
        body.erase(body.begin());
    }
    std::string out;
    for (const std::string& line : head)
        out += line + "\n";
    for (const std::string& line : body)
        out += std::string(kDescriptionColumn, ' ') + line + "\n";
    return out;
}

} // namespace

std::string commandUsage(const CLI::App& command, std::string_view name)
{
    // The synopsis's groups fill lines of up to the synopsis width; a
    // continued line begins under the first group.
    const std::string start = std::string(kIndent) + std::string(name);
    std::vector<std::string> head{start};
    for (const std::string& group : Synopsis(command).groups()) {
        if (head.back().size() > start.size() && head.back().size() + 1 + group.size() > kSynopsisWidth)
            head.emplace_back(start.size(), ' ');
        head.back() += " " + group;
    }
    return entry(head, description(command));
}

std::string programUsage(const CLI::App& program)
{
    std::string usage = "用法: " + program.get_name() + " <命令> [参数]\n\n";
    for (const CLI::App* command : program.get_subcommands({}))
        usage += commandUsage(*command, command->get_name());
    for (const CLI::Option* flag : program.get_options())
        usage += entry({std::string(kIndent) + flag->get_name()}, flag->get_description());
    return usage + "\n" + program.get_footer() + "\n";
}

std::string UsageFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const
{
    return app->get_parent() ? commandUsage(*app, app->get_name()) : programUsage(*app);
}

} // namespace vellumax::cli
