// torvel6: the configurator on the command line, over the same core as the
// window. It works in the per-user folder the window started from the desktop
// uses, or in the folder --work-dir names: the dictionary "trans.dic" is read
// from there and the logs are written there (cli/WorkFolder.h).

#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return t6::cli::runCommandLine(argc, argv, std::cout, std::cerr);
}
