#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace vellumax::cli {

// The arguments of `vellumax-cli search`: a whole search run without a window.
struct SearchOptions {
    std::optional<int32_t> start; // the start prompt's answer; 0 when neither this nor resume
    int32_t interval = 8;         // seconds between page reads, 1 to 1000
    bool deduplicate = false;
    bool wide = false;            // wide reading: every fax label, and the pager's links
    bool deep = false;            // each result's own site read too, with the wide reading
    std::string stateFile;        // the four-line settings file of the run; empty: none
    bool resume = false;          // start where the state file says
    std::string output;           // "-" is standard output
    std::string tableFile;        // the number table, appended with every page; empty: none
    bool tableUtf8 = false;       // the table in UTF-8 with a byte-order mark instead of GBK
    std::string keywordFile;

    bool operator==(const SearchOptions&) const = default;
};

// Declares the options, and the command's description, on `app` (the
// subcommand of vellumax-cli, or the search program's own parser), filling
// `options` as they are parsed.
void declareSearchOptions(CLI::App& app, SearchOptions& options);

// The same call, spelled out in full, for the search program: parsing these
// gives `options` back.
std::vector<std::string> searchArguments(const SearchOptions& options);

} // namespace vellumax::cli
