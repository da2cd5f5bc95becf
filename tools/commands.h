// The companion's commands, one file each, and what they share (command_support.cpp). Each
// writes its output to out and its messages to err, and returns the exit code (cli.h).
#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli.h"
#include "export.h"
#include "result_file.h"
#include "result_rewrite.h"
#include "subject_record.h"
#include "summary.h"

namespace companion {

int Show(const std::string& path, int semester, std::ostream& out, std::ostream& err);
// The subject as the user typed it, in UTF-8; it is stored as the entry screen stores it.
int Add(const std::string& path, bool startAfresh, int semester, int credits, int gradeIndex,
        const std::string& subject, std::ostream& err);
int Report(const std::string& path, std::ostream& out, std::ostream& err);
int List(const std::string& path, std::ostream& out, std::ostream& err);
int Remove(const std::string& path, const std::vector<int>& numbers, std::ostream& out,
           std::ostream& err);
// The subject as the user typed it, in UTF-8.
int Rename(const std::string& path, int number, const std::string& subject, std::ostream& out,
           std::ostream& err);
struct ExportOptions {
    std::string Format;         // "csv" or "json"
    std::string Output;         // empty: standard output
    unsigned CodePage = 0;      // the one the subjects are stored in
    bool ByteOrderMark = false; // CSV only
};
int Export(const std::string& path, const ExportOptions& options, std::ostream& out,
           std::ostream& err);
// What it takes to reach target (hundredths) in semester (1..8; 0: after the last one with
// subjects) with the coming subjects' credits (none: those of that last semester).
int Plan(const std::string& path, int target, int semester, const std::vector<int>& credits,
         bool json, std::ostream& out, std::ostream& err);

// A subject as a person can read it: control characters spelled out, and the backslash that
// spells them doubled, so that no two subjects read alike.
std::string Printable(std::string_view text);
// "1 credit", "3 credits".
std::string Count(int number, const char* noun);
// Loads the file into the program-wide table. On failure says so and returns false.
bool LoadOrComplain(const std::string& path, LoadReport& report, std::ostream& err);
std::vector<std::string> LoadWarnings(const std::string& path, const LoadReport& report,
                                      int passedOver);
void PrintWarnings(const std::string& path, const LoadReport& report, int passedOver,
                   std::ostream& err);
// Says why a change (done: "removed", "renamed") was not made; returns the exit code: 2 for a
// record that is not there or would not read back, 1 for a file that refused.
int Unchanged(const std::string& path, const RewriteResult& result, const char* done,
              std::ostream& err);
// One line of list: number, semester (or "-"), subject, credits, grade, and "damaged" for a
// record of a semester that the results view passes over.
std::string ListLine(int number, const SubjectRecord& record);

} // namespace companion
