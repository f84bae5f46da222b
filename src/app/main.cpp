#include <cstdio>

int main()
{
    std::fputs("vellumax: the main window is not built yet; only the command-line tool and the tests exist.\n", stderr);
    return 1;
}
