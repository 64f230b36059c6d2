#include "SelfPlay.h"

#include <iostream>

#include <unistd.h>

int main(int argc, char** argv) {
    using namespace tessum::selfplay;
    std::string Error;
    const auto Options = ParseOptions(std::vector<std::string>(argv + 1, argv + argc), Error);
    if (!Options) {
        std::cerr << "tessum-selfplay: " << Error << "\n" << Usage();
        return 2;
    }
    if (Options->Help) {
        std::cout << Usage();
        return 0;
    }
    TOptions Chosen = *Options;
    // Someone watching a terminal wants to follow the moves; a pipe wants them all at once.
    if (Chosen.DelayMs < 0) Chosen.DelayMs = Chosen.Verbose && isatty(STDOUT_FILENO) ? 200 : 0;
    Run(Chosen, std::cout);
    return 0;
}
