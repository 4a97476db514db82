// split_tape SOURCE DESTDIR SUFFIX: splits an NC tape into one file per program, as the simple
// receive does, so that whole runs can be timed side by side with other commands.
#include <cstdio>
#include <string>

#include "transfer/ProgramSplitter.h"

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: split_tape SOURCE DESTDIR SUFFIX\n");
        return 2;
    }
    std::string strDestination = argv[2];
    if (strDestination.empty() || strDestination.back() != '/') {
        strDestination += '/';
    }
    if (!SplitByProgramNumber(argv[1], strDestination, argv[3]).bOk) {
        std::fprintf(stderr, "split_tape: splitting %s into %s failed\n", argv[1], argv[2]);
        return 1;
    }
    return 0;
}
