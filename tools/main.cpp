// gradewick-cli's entry point: output in binary mode, so that lines end in a bare line feed on
// every platform. On Windows the arguments come from the wide command line, in UTF-8 as the core
// takes paths, and the messages, in UTF-8 too, go to standard error as UTF-16 when it is a
// console (which then shows every character) and as UTF-8 bytes when it is a file or a pipe.
#include <csignal>
#include <cstdio>
#include <iostream>

#if defined(_WIN32)
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <sstream>
#include <string>

#include "encoding.h"
#endif

#include "cli.h"
#include "summary.h"

#if defined(_WIN32)

namespace {

void WriteMessages(const std::string& text) {
    HANDLE standardError = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    const std::wstring wide = Utf16FromUtf8(text);
    DWORD written = 0;
    if (GetConsoleMode(standardError, &mode) == 0 || wide.empty() ||
        WriteConsoleW(standardError, wide.data(), static_cast<DWORD>(wide.size()), &written,
                      nullptr) == 0) {
        static_cast<void>(std::fwrite(text.data(), 1, text.size(), stderr));
    }
}

} // namespace

int wmain(int argc, wchar_t** wideArgv) {
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    EnsureExtendedPrecision();
    std::ostringstream messages;
    const int status = RunGradewickCliWide(argc, wideArgv, std::cout, messages);
    WriteMessages(messages.str());
    return status;
}

#else

int main(int argc, char** argv) {
    // A write past the file-size limit fails and is undone, instead of ending the program.
    static_cast<void>(std::signal(SIGXFSZ, SIG_IGN));
    EnsureExtendedPrecision();
    return RunGradewickCli(argc, argv, std::cout, std::cerr);
}

#endif
