// torvel6: the configurator on the command line, over the same core as the
// window. The working directory at start-up is the program directory: the
// dictionary "trans.dic" is read from it and the logs are written to it.

#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) {
    return t6::cli::runCommandLine(argc, argv, std::cout, std::cerr);
}
