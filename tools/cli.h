// gradewick-cli: the grade records core from the command line.
//
//   gradewick-cli show FILE SEMESTER
//   gradewick-cli add [--new] FILE SEMESTER CREDITS GRADE SUBJECT
//   gradewick-cli report FILE
//   gradewick-cli list FILE
//   gradewick-cli remove FILE N [N...]
//   gradewick-cli export FILE --format csv|json [--output PATH]
//   gradewick-cli plan FILE --target T [--semester S] [--credits 3,3,4,2] [--json]
//
// Without arguments it prints its help (exit 0).
//
// Exit codes: 0 done, 1 the file could not be opened, read or written, or the output could not
// be written, 2 a bad argument (and, for remove, a file that could not be read to its end). A
// removal that happened exits 0 even when its list cannot be written (with a warning).
#pragma once

#include <ostream>

constexpr int CliExitOk = 0;
constexpr int CliExitFileError = 1;
constexpr int CliExitUsage = 2;

// Runs one command line, writing its output and messages to out and err.
int RunGradewickCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err);

#if defined(_WIN32)
// The same from Windows' wide command line. An argument that holds half of a UTF-16 surrogate
// pair without its other half, which no UTF-8 can hold, is refused (exit 2), named with the
// half's code.
int RunGradewickCliWide(int argc, const wchar_t* const* argv, std::ostream& out, std::ostream& err);
#endif
