// gradewick-cli's command line: CLI11 checks every argument, then one command runs (one file
// each, declared in commands.h).
#include "cli.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "commands.h"
#include "encoding.h"
#include "gradewick_version.h"
#include "grade_scale.h"
#include "planner.h"
#include "subject_record.h"

namespace {

using namespace companion;

constexpr std::size_t MaxSubjectBytes = SubjectSize - 1;

// A number as the companion takes it: decimal digits only, so that "010" is ten; a sign, a
// base prefix ("0x", "0b", "0o") or anything else is no number.
bool AllDigits(std::string_view text) {
    return !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
}

// The value of a number of decimal digits, if it fits.
std::optional<int> DecimalNumber(std::string_view text) {
    int value = 0;
    if (!AllDigits(text) ||
        std::from_chars(text.data(), text.data() + text.size(), value).ec != std::errc{}) {
        return std::nullopt;
    }
    return value;
}

// Every number the companion takes is an option of text checked by this, and read after the
// parse with DecimalNumber: CLI11's own integers would take "010" as octal and "0x2" as hex.
CLI::Validator DecimalIn(int min, int max) {
    return CLI::Validator(
        [min, max](const std::string& text) -> std::string {
            if (!AllDigits(text)) {
                return "'" + text + "' is not a number in decimal digits";
            }
            const std::optional<int> value = DecimalNumber(text);
            if (!value || *value < min || *value > max) {
                return text + " is not in the range " + std::to_string(min) + " to " +
                       std::to_string(max);
            }
            return {};
        },
        "NUMBER");
}

std::string Upper(std::string text) {
    for (char& c : text) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return text;
}

std::string CheckSubject(const std::string& subject) {
    const StoredText stored = StoredFromUtf8(subject);
    if (!stored.Unstorable.empty()) {
        return "the subject '" + subject +
               "' holds characters that the result file cannot store on this system: " +
               stored.Unstorable;
    }
    if (stored.Bytes.size() > MaxSubjectBytes) {
        return "the subject '" + subject + "' is " + std::to_string(stored.Bytes.size()) +
               " bytes long; at most " + std::to_string(MaxSubjectBytes) + " fit";
    }
    if (subject.find_first_of("\r\n") != std::string::npos) {
        return "the subject '" + subject + "' contains a line break";
    }
    return {};
}

// A new name must be one that add takes, and not empty.
std::string CheckNewName(const std::string& subject) {
    return subject.empty() ? "a subject needs a name" : CheckSubject(subject);
}

std::string CheckGrade(const std::string& letter) {
    if (GradeIndexOfLetter(Upper(letter).c_str())) {
        return {};
    }
    std::string letters;
    for (const GradeEntry& grade : GradeScale) {
        letters += letters.empty() ? "" : " ";
        letters += grade.Letter;
    }
    return "'" + letter + "' is not a grade; the grades are " + letters;
}

std::string CheckCodePage(const std::string& text) {
    const std::optional<int> number = DecimalNumber(text);
    if (number && IsAnsiCodePage(static_cast<unsigned>(*number))) {
        return {};
    }
    return "'" + text + "' is not a code page that result files are stored in";
}

// Runs the command; changed is the warning to give when a change of a file stands but its output
// cannot be written, or empty.
int RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               std::string& changed) {
    CLI::App app{"Gradewick's grade records from the command line: semester GPA and CGPA of a "
                 "result file (.rst)",
                 "gradewick-cli"};
    app.set_version_flag("--version", std::string("gradewick-cli ") + GRADEWICK_VERSION_STRING);
    app.require_subcommand(1);
    // On Windows CLI11 would take "/Lab" for an option: here it is a subject, "/s.rst" a file.
    // Subcommands take the setting from the app as they are made.
    app.allow_windows_style_options(false);

    std::string path;
    std::string semester;
    std::string credits;
    std::string grade;
    std::string subject;
    bool startAfresh = false;

    CLI::App* show = app.add_subcommand("show", "What the results view shows for one semester");
    show->add_option("FILE", path, "result file")->required();
    show->add_option("SEMESTER", semester, "semester 1..8")->required()->check(DecimalIn(1, 8));

    CLI::App* add = app.add_subcommand("add", "Append one subject, as the entry screen's Insert");
    add->add_flag("--new", startAfresh, "start the file afresh (empties an existing file)");
    add->add_option("FILE", path, "result file")->required();
    add->add_option("SEMESTER", semester, "semester 1..8")->required()->check(DecimalIn(1, 8));
    add->add_option("CREDITS", credits, "credits 1..4")->required()->check(DecimalIn(1, 4));
    add->add_option("GRADE", grade, "grade letter: A A- B+ B B- C+ C C- D+ D, either case")
        ->required()
        ->check(CLI::Validator(CheckGrade, "GRADE"));
    add->add_option("SUBJECT", subject, "subject name, at most 49 bytes, one line")
        ->required()
        ->check(CLI::Validator(CheckSubject, "SUBJECT"));

    CLI::App* report = app.add_subcommand("report", "A readable report of the whole file");
    report->add_option("FILE", path, "result file")->required();

    CLI::App* list = app.add_subcommand(
        "list", "Number every record the results view reads, one tab-separated line each");
    list->add_option("FILE", path, "result file")->required();

    std::vector<std::string> numbers;
    CLI::App* remove = app.add_subcommand(
        "remove", "Take records out by their list numbers, keeping every other byte of the file");
    remove->add_option("FILE", path, "result file")->required();
    remove->add_option("N", numbers, "record numbers as list shows them")
        ->required()
        ->check(DecimalIn(0, std::numeric_limits<int>::max()));

    std::string number;
    CLI::App* rename = app.add_subcommand(
        "rename", "Give a record's subject another name where it is, keeping every other byte");
    rename->add_option("FILE", path, "result file")->required();
    rename->add_option("N", number, "the record's number as list shows it")
        ->required()
        ->check(DecimalIn(0, std::numeric_limits<int>::max()));
    rename->add_option("SUBJECT", subject, "the new name, at most 49 bytes, one line")
        ->required()
        ->check(CLI::Validator(CheckNewName, "SUBJECT"));

    ExportOptions exportOptions;
    std::string codePage;
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Every semester's subjects, GPA and verdict, and the CGPA, as CSV or JSON");
    exportCommand->add_option("FILE", path, "result file")->required();
    exportCommand->add_option("--format", exportOptions.Format, "csv (RFC 4180) or json")
        ->required()
        ->check(CLI::IsMember({"csv", "json"}));
    exportCommand->add_option("--output", exportOptions.Output,
                              "write to this file, not standard output");
    exportCommand
        ->add_option("--code-page", codePage,
                     "the code page the subjects are stored in: 1250 to 1258, 874, 932, "
                     "936, 949 or 950")
        ->check(CLI::Validator(CheckCodePage, "N"));
    exportCommand->add_flag("--bom", exportOptions.ByteOrderMark,
                            "start the CSV with a UTF-8 byte order mark (for Excel)");
    exportCommand->footer(
        "Output is UTF-8: subject names that are valid UTF-8 are taken as they are, others are "
        "read in the code page they are stored in: --code-page (on Windows too), or else the "
        "system's ANSI code page on Windows and Windows-1252 elsewhere.");

    std::string target;
    std::string comingCredits;
    bool json = false;
    CLI::App* plan = app.add_subcommand("plan", "What it takes to reach a target CGPA");
    plan->add_option("FILE", path, "result file")->required();
    plan->add_option("--target", target, "target CGPA, 1.00 to 4.00 (such as 3.5)")
        ->required()
        ->check(CLI::Validator(
            [](const std::string& text) {
                return ParseTarget(text) ? ""
                                         : "'" + text +
                                               "' is not a CGPA from 1.00 to 4.00 with at "
                                               "most two decimals";
            },
            "CGPA"));
    plan->add_option("--semester", semester, "coming semester 1..8; default: after the last")
        ->check(DecimalIn(1, 8));
    plan->add_option("--credits", comingCredits,
                     "coming subjects' credits, such as 3,3,4,2; "
                     "default: those of the last semester")
        ->check(CLI::Validator(
            [](const std::string& text) {
                return ParseCredits(text) ? ""
                                          : "'" + text +
                                                "' is not 1 to 12 credits of 1 to 4 with "
                                                "spaces or commas between";
            },
            "CREDITS"));
    plan->add_flag("--json", json, "one JSON object");

    if (argc <= 1) {
        out << app.help();
        return CliExitOk;
    }
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == static_cast<int>(CLI::ExitCodes::Success) ? CliExitOk : CliExitUsage;
    }

    if (show->parsed()) {
        return Show(path, *DecimalNumber(semester), out, err);
    }
    if (add->parsed()) {
        return Add(path, startAfresh, *DecimalNumber(semester), *DecimalNumber(credits),
                   *GradeIndexOfLetter(Upper(grade).c_str()), subject, err);
    }
    if (list->parsed()) {
        return List(path, out, err);
    }
    if (remove->parsed()) {
        std::vector<int> records(numbers.size());
        std::transform(numbers.begin(), numbers.end(), records.begin(),
                       [](const std::string& number) { return *DecimalNumber(number); });
        const int status = Remove(path, records, out, err);
        changed = status == CliExitOk
                      ? "the records are removed, but the list of them could not be written"
                      : "";
        return status;
    }
    if (rename->parsed()) {
        const int status = Rename(path, *DecimalNumber(number), subject, out, err);
        changed = status == CliExitOk
                      ? "the subject is renamed, but its list line could not be written"
                      : "";
        return status;
    }
    if (plan->parsed()) {
        return Plan(path, *ParseTarget(target), DecimalNumber(semester).value_or(0),
                    ParseCredits(comingCredits).value_or(std::vector<int>()), json, out, err);
    }
    if (exportCommand->parsed()) {
        if (exportOptions.ByteOrderMark && exportOptions.Format != "csv") {
            err << "gradewick-cli: --bom is for --format csv only\n";
            return CliExitUsage;
        }
        exportOptions.CodePage = codePage.empty() ? SystemCodePage() : *DecimalNumber(codePage);
        return Export(path, exportOptions, out, err);
    }
    return Report(path, out, err);
}

} // namespace

int RunGradewickCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    std::string changed;
    int status = CliExitOk;
    // Whatever a library throws (the JSON writer, the allocator) ends in a message.
    try {
        status = RunCommand(argc, argv, out, err, changed);
    } catch (const std::exception& error) {
        err << "gradewick-cli: stopped: " << error.what() << '\n';
        return CliExitFileError;
    } catch (...) {
        err << "gradewick-cli: stopped by an unknown failure\n";
        return CliExitFileError;
    }
    if (out << std::flush) {
        return status;
    }
    // The exit code says what became of the file: a change that happened stands.
    if (!changed.empty()) {
        err << "gradewick-cli: warning: " << changed << '\n';
        return status;
    }
    err << "gradewick-cli: could not write the output\n";
    return CliExitFileError;
}
