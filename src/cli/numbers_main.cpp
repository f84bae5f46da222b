// vellumax-numbers: vellumax-cli's command line with the number commands at
// work, started by `vellumax-cli classify` and `vellumax-cli filter`.
#include "cli/frame.h"

int main(int argc, char** argv)
{
    using namespace vellumax::cli;
    return runCommandLine(argc, argv, {runClassify, runFilter});
}
