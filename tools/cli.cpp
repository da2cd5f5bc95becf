// gradewick-cli: shows a semester as the results view does, appends a subject as the entry
// screen's Insert does, and prints a report of a whole result file.
#include "cli.h"

#include <algorithm>
#include <cstring>
#include <iomanip>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "gradewick_version.h"
#include "grade_scale.h"
#include "result_file.h"
#include "summary.h"

namespace {

constexpr std::size_t MaxSubjectBytes = SubjectSize - 1;

std::string_view WithoutTrailingLineFeed(const char* text) {
    std::string_view view(text);
    if (!view.empty() && view.back() == '\n') {
        view.remove_suffix(1);
    }
    return view;
}

// A subject as a person can read it: control characters spelled out.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

// "1 credit", "3 credits".
std::string Count(int number, const char* noun) {
    return std::to_string(number) + " " + noun + (number == 1 ? "" : "s");
}

const char* VerdictWord(GpaVerdict verdict) {
    switch (verdict) {
    case GpaVerdict::Good: return "good";
    case GpaVerdict::Bad: return "bad";
    case GpaVerdict::NoCredits: return "normal";
    }
    return "normal";
}

// Loads the file into the program-wide table. On failure says so and returns false.
bool LoadOrComplain(const std::string& path, LoadReport& report, std::ostream& err) {
    report = LoadRecordTable(path.c_str());
    if (!report.Opened) {
        err << "gradewick-cli: cannot open result file '" << path << "'\n";
        return false;
    }
    if (report.ReadError) {
        err << "gradewick-cli: reading result file '" << path
            << "' failed; nothing is shown from it\n";
        return false;
    }
    return true;
}

std::vector<std::string> LoadWarnings(const std::string& path, const LoadReport& report,
                                      int passedOver) {
    std::vector<std::string> warnings;
    if (report.MoreThanCapacity) {
        warnings.push_back("'" + path +
                           "' holds more than 100 records; only the first 100 were read");
    }
    if (passedOver > 0) {
        warnings.push_back(std::to_string(passedOver) +
                           (passedOver == 1 ? " record was passed over: its"
                                            : " records were passed over: their") +
                           " credits or grade are out of range");
    }
    return warnings;
}

int Show(const std::string& path, int semester, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    const int s = semester - 1;
    const SummarySlots slots = SummarizeRecords(s);
    const GpaResult gpa = SemesterGpa(s);
    const std::string cgpa = ComputeCumulative();
    for (const std::string& warning : LoadWarnings(path, report, slots.PassedOver)) {
        err << "gradewick-cli: warning: " << warning << '\n';
    }
    std::string text;
    for (int slot = 0; slot < SummarySlotCount; ++slot) {
        text += "slot\t" + std::to_string(slot + 1) + '\t';
        const auto& row = slots.Slots[static_cast<std::size_t>(slot)];
        if (row) {
            text += WithoutTrailingLineFeed(row->Subject);
            text += '\t';
            text += row->Credits;
            text += '\t';
            text += row->Grade;
        } else {
            text += "\t\t";
        }
        text += '\n';
    }
    text += "gpa\t" + gpa.Text + '\n';
    text += std::string("verdict\t") + VerdictWord(gpa.Verdict) + '\n';
    text += "cgpa\t" + cgpa + '\n';
    out << text;
    return CliExitOk;
}

int Add(const std::string& path, bool startAfresh, int semester, int credits, int gradeIndex,
        const std::string& subject, std::ostream& err) {
    if (!AppendRecord(path.c_str(), startAfresh, SemesterLabel(semester - 1), subject.c_str(),
                      credits - 1, gradeIndex)) {
        err << "gradewick-cli: cannot write result file '" << path << "'\n";
        return CliExitFileError;
    }
    return CliExitOk;
}

int Report(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    const SummarySlots all = SummarizeRecords(0); // sums of every semester
    std::ostringstream text;
    text << "Gradewick report for " << path << '\n';
    text << Count(report.RecordsRead, "record") << " read\n";

    int semestersWithRecords = 0;
    const auto unclassified =
        std::count_if(RecordTable.begin(), RecordTable.end(), [](const SubjectRecord& record) {
            return !ClassifyRecord(record) &&
                   (record.Label[0] != '\0' || record.Subject[0] != '\0');
        });
    for (int s = 0; s < SemesterCount; ++s) {
        if (SemesterTotals.Credits[s] == 0) {
            continue;
        }
        ++semestersWithRecords;
        std::ostringstream rows;
        int subjects = 0;
        for (const SubjectRecord& record : RecordTable) {
            const std::optional<int> semester = ClassifyRecord(record);
            const std::optional<int> credits = CreditValue(record.CreditIndex);
            const char* letter = GradeLetter(record.GradeIndex);
            if (!semester || *semester != s || !credits || letter == nullptr) {
                continue;
            }
            ++subjects;
            const std::string_view stored = WithoutTrailingLineFeed(record.Subject);
            const std::string name = stored.empty() ? std::string("(no name)") : Printable(stored);
            rows << "  " << std::left << std::setw(static_cast<int>(MaxSubjectBytes)) << name
                 << "  " << *credits << (*credits == 1 ? " credit   " : " credits  ") << letter
                 << '\n';
        }
        const GpaResult gpa = SemesterGpa(s);
        text << '\n'
             << SemesterLabel(s) << ": " << Count(subjects, "subject") << ", "
             << Count(SemesterTotals.Credits[s], "credit") << ", GPA " << gpa.Text << " ("
             << VerdictWord(gpa.Verdict) << ")\n"
             << rows.str();
    }
    const std::string cgpa = ComputeCumulative();
    if (semestersWithRecords == 0) {
        text << "\nNo semester has subjects.\n";
    }
    text << '\n';
    if (cgpa.empty()) {
        text << "CGPA: none (no subject with credits in any semester)\n";
    } else {
        text << "CGPA " << cgpa << " over " << Count(SemesterTotals.TotalCredits, "credit")
             << " in " << Count(semestersWithRecords, "semester") << '\n';
    }
    std::vector<std::string> warnings = LoadWarnings(path, report, all.PassedOver);
    if (unclassified > 0) {
        warnings.push_back(std::to_string(unclassified) +
                           (unclassified == 1 ? " entry names no semester and counts"
                                              : " entries name no semester and count") +
                           " nowhere");
    }
    if (!warnings.empty()) {
        text << "\nWarnings:\n";
        for (const std::string& warning : warnings) {
            text << "  " << warning << '\n';
        }
    }
    out << text.str();
    return CliExitOk;
}

std::string CheckSubject(const std::string& subject) {
    if (subject.size() > MaxSubjectBytes) {
        return "the subject '" + subject + "' is " + std::to_string(subject.size()) +
               " bytes long; at most " + std::to_string(MaxSubjectBytes) + " fit";
    }
    if (subject.find_first_of("\r\n") != std::string::npos) {
        return "the subject '" + subject + "' contains a line break";
    }
    return {};
}

std::string CheckGrade(const std::string& letter) {
    if (GradeIndexOfLetter(letter.c_str())) {
        return {};
    }
    std::string letters;
    for (const GradeEntry& grade : GradeScale) {
        letters += letters.empty() ? "" : " ";
        letters += grade.Letter;
    }
    return "'" + letter + "' is not a grade; the grades are " + letters;
}

} // namespace

int RunGradewickCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    CLI::App app{"Gradewick's grade records from the command line: semester GPA and CGPA of a "
                 "result file (.rst)",
                 "gradewick-cli"};
    app.set_version_flag("--version", std::string("gradewick-cli ") + GRADEWICK_VERSION_STRING);
    app.require_subcommand(1);

    std::string path;
    int semester = 0;
    int credits = 0;
    std::string grade;
    std::string subject;
    bool startAfresh = false;

    CLI::App* show = app.add_subcommand("show", "What the results view shows for one semester");
    show->add_option("FILE", path, "result file")->required();
    show->add_option("SEMESTER", semester, "semester 1..8")->required()->check(CLI::Range(1, 8));

    CLI::App* add = app.add_subcommand("add", "Append one subject, as the entry screen's Insert");
    add->add_flag("--new", startAfresh, "start the file afresh (empties an existing file)");
    add->add_option("FILE", path, "result file")->required();
    add->add_option("SEMESTER", semester, "semester 1..8")->required()->check(CLI::Range(1, 8));
    add->add_option("CREDITS", credits, "credits 1..4")->required()->check(CLI::Range(1, 4));
    add->add_option("GRADE", grade, "grade letter: A A- B+ B B- C+ C C- D+ D")
        ->required()
        ->check(CLI::Validator(CheckGrade, "GRADE"));
    add->add_option("SUBJECT", subject, "subject name, at most 49 bytes, one line")
        ->required()
        ->check(CLI::Validator(CheckSubject, "SUBJECT"));

    CLI::App* report = app.add_subcommand("report", "A readable report of the whole file");
    report->add_option("FILE", path, "result file")->required();

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == static_cast<int>(CLI::ExitCodes::Success) ? CliExitOk : CliExitUsage;
    }

    if (show->parsed()) {
        return Show(path, semester, out, err);
    }
    if (add->parsed()) {
        return Add(path, startAfresh, semester, credits, *GradeIndexOfLetter(grade.c_str()),
                   subject, err);
    }
    return Report(path, out, err);
}
