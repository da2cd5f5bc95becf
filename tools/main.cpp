// gradewick-cli's entry point: output in binary mode, so that lines end in a bare line feed on
// every platform.
#include <cstdio>
#include <iostream>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

#include "cli.h"
#include "summary.h"

int main(int argc, char** argv) {
#if defined(_WIN32)
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
#endif
    EnsureExtendedPrecision();
    return RunGradewickCli(argc, argv, std::cout, std::cerr);
}
