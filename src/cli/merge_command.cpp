#include "cli/commands.h"

#include "files/number_merge.h"
#include "text/error.h"
#include "text/gbk_codec.h"

#include <cstdio>

namespace vellumax::cli {

// merge OUT IN...: the window's merge, for files too large or too many for a
// dialog. The count goes to stdout as the window's status bar shows it; a
// join that stopped part-way is reported after it, as the window's error box
// comes after the status text.
int runMerge(const std::vector<std::string>& args)
{
    if (args.size() < 2)
        return usageError();
    const std::vector<std::string> inputs(args.begin() + 1, args.end());
    try {
        const MergeOutcome outcome = mergeNumberFiles(inputs, args.front());
        std::printf("%s\n", utf8FromGbk(mergeStatusText(outcome.count)).c_str());
        std::fflush(stdout);
        if (outcome.joinFailure) {
            std::fprintf(stderr, "vellumax-cli: %s\n", utf8FromGbk(*outcome.joinFailure).c_str());
            return 1;
        }
        return 0;
    } catch (const Error& e) {
        std::fprintf(stderr, "vellumax-cli: %s\n", utf8FromGbk(e.what()).c_str());
        return 1;
    }
}

} // namespace vellumax::cli
