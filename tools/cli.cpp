// gradewick-cli: shows a semester as the results view does, appends a subject as the entry
// screen's Insert does, lists and removes records, and reports or exports a whole result file.
#include "cli.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>
#include <iomanip>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "encoding.h"
#include "export.h"
#include "file_system.h"
#include "gradewick_version.h"
#include "grade_scale.h"
#include "result_file.h"
#include "result_rewrite.h"
#include "summary.h"

namespace {

constexpr std::size_t MaxSubjectBytes = SubjectSize - 1;

// A subject as a person can read it: control characters spelled out, and the backslash that
// spells them doubled, so that no two subjects read alike.
std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
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

void PrintWarnings(const std::string& path, const LoadReport& report, int passedOver,
                   std::ostream& err) {
    for (const std::string& warning : LoadWarnings(path, report, passedOver)) {
        err << "gradewick-cli: warning: " << warning << '\n';
    }
}

// Every semester with records, with every subject that it counts, as the results view sums
// them; passedOver receives the number of damaged records.
ExportData CollectResults(int& passedOver) {
    passedOver = SummarizeRecords(0).PassedOver;
    ExportData data;
    for (int s = 0; s < SemesterCount; ++s) {
        if (SemesterTotals.Credits[s] == 0) {
            continue;
        }
        const GpaResult gpa = SemesterGpa(s);
        ExportSemester semester{SemesterLabel(s),         {},       SemesterTotals.Credits[s],
                                SemesterTotals.Points[s], gpa.Text, VerdictWord(gpa.Verdict)};
        for (const SubjectRecord& record : RecordTable) {
            const std::optional<int> credits = CreditValue(record.CreditIndex);
            const char* letter = GradeLetter(record.GradeIndex);
            if (ClassifyRecord(record) == s && credits && letter != nullptr) {
                semester.Subjects.push_back({std::string(WithoutLineFeed(record.Subject)), *credits,
                                             letter, QualityPoints(*credits, record.GradeIndex)});
            }
        }
        data.Semesters.push_back(std::move(semester));
    }
    data.Cgpa = ComputeCumulative();
    data.Credits = SemesterTotals.TotalCredits;
    data.QualityPoints = SemesterTotals.TotalPoints;
    return data;
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
    PrintWarnings(path, report, slots.PassedOver, err);
    std::string text;
    for (int slot = 0; slot < SummarySlotCount; ++slot) {
        text += "slot\t" + std::to_string(slot + 1) + '\t';
        const auto& row = slots.Slots[static_cast<std::size_t>(slot)];
        if (row) {
            text += WithoutLineFeed(row->Subject);
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

// The subject is stored as the entry screen stores what is typed (CheckSubject has seen that it
// can be).
int Add(const std::string& path, bool startAfresh, int semester, int credits, int gradeIndex,
        const std::string& subject, std::ostream& err) {
    if (!startAfresh && ResultFileFull(path.c_str())) {
        err << "gradewick-cli: '" << path
            << "' holds 100 subjects, as many as Gradewick counts; nothing added (remove one "
               "first)\n";
        return CliExitFileError;
    }
    if (!AppendRecord(path.c_str(), startAfresh, SemesterLabel(semester - 1),
                      StoredFromUtf8(subject).Bytes.c_str(), credits - 1, gradeIndex)) {
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
    int passedOver = 0;
    const ExportData data = CollectResults(passedOver);
    // One text in the encoding of the subjects it lists: the path too is as the result file
    // would store it (on Windows a character that the code page cannot hold shows as '?').
    std::ostringstream text;
    text << "Gradewick report for " << StoredFromUtf8(path).Bytes << '\n';
    text << Count(report.RecordsRead, "record") << " read\n";
    for (const ExportSemester& semester : data.Semesters) {
        text << '\n'
             << semester.Label << ": "
             << Count(static_cast<int>(semester.Subjects.size()), "subject") << ", "
             << Count(semester.Credits, "credit") << ", GPA " << semester.Gpa << " ("
             << semester.Verdict << ")\n";
        for (const ExportSubject& subject : semester.Subjects) {
            const std::string name = subject.Name.empty() ? "(no name)" : Printable(subject.Name);
            text << "  " << std::left << std::setw(static_cast<int>(MaxSubjectBytes)) << name
                 << "  " << subject.Credits << (subject.Credits == 1 ? " credit   " : " credits  ")
                 << subject.Grade << '\n';
        }
    }
    if (data.Semesters.empty()) {
        text << "\nNo semester has subjects.\n";
    }
    text << '\n';
    if (data.Cgpa.empty()) {
        text << "CGPA: none (no subject with credits in any semester)\n";
    } else {
        text << "CGPA " << data.Cgpa << " over " << Count(data.Credits, "credit") << " in "
             << Count(static_cast<int>(data.Semesters.size()), "semester") << '\n';
    }
    const auto unclassified =
        std::count_if(RecordTable.begin(), RecordTable.end(), [](const SubjectRecord& record) {
            return !ClassifyRecord(record) &&
                   (record.Label[0] != '\0' || record.Subject[0] != '\0');
        });
    std::vector<std::string> warnings = LoadWarnings(path, report, passedOver);
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

// One line of list: number, semester (or "-"), subject, credits, grade, and "damaged" for a
// record of a semester that the results view passes over.
std::string ListLine(int number, const SubjectRecord& record) {
    const std::optional<int> semester = ClassifyRecord(record);
    const char* credits = CreditText(record.CreditIndex);
    const char* letter = GradeLetter(record.GradeIndex);
    const bool damaged = semester && (credits == nullptr || letter == nullptr);
    return std::to_string(number) + '\t' + (semester ? SemesterLabel(*semester) : "-") + '\t' +
           Printable(WithoutLineFeed(record.Subject)) + '\t' +
           (credits != nullptr ? credits : "?") + '\t' + (letter != nullptr ? letter : "?") + '\t' +
           (damaged ? "damaged" : "") + '\n';
}

int List(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    PrintWarnings(path, report, SummarizeRecords(0).PassedOver, err);
    std::string text;
    for (int i = 0; i < report.RecordsRead; ++i) {
        text += ListLine(i + 1, RecordTable[static_cast<std::size_t>(i)]);
    }
    out << text;
    return CliExitOk;
}

// Why a removal did not happen, in the companion's words.
std::string NotRemoved(const std::string& path, const RewriteResult& result) {
    switch (result.Status) {
    case RewriteStatus::NoSuchRecord:
        return result.Message + "; list shows " +
               (result.RecordsRead == 0 ? "none"
                                        : "records 1 to " + std::to_string(result.RecordsRead));
    case RewriteStatus::WouldReadDifferently:
        return "without the chosen records, " + result.Message + "; nothing removed";
    case RewriteStatus::CannotOpen:
    case RewriteStatus::NamedTwice: return result.Message;
    case RewriteStatus::Failed: return result.Message + "; '" + path + "' is left as it was";
    default: return result.Message + "; nothing removed";
    }
}

// Removes the records that list numbers as numbers, keeping every other byte of the file, and
// prints their list lines.
int Remove(const std::string& path, const std::vector<int>& numbers, std::ostream& out,
           std::ostream& err) {
    std::vector<RecordChange> changes(numbers.size());
    std::transform(numbers.begin(), numbers.end(), changes.begin(), [](int number) {
        return RecordChange{number - 1, std::nullopt, std::nullopt};
    });
    const RewriteResult result = RewriteRecords(path, changes);
    if (result.Status != RewriteStatus::Done) {
        const bool badArgument = result.Status == RewriteStatus::CannotRead ||
                                 result.Status == RewriteStatus::NoSuchRecord ||
                                 result.Status == RewriteStatus::NamedTwice ||
                                 result.Status == RewriteStatus::WouldReadDifferently;
        err << "gradewick-cli: " << NotRemoved(path, result) << '\n';
        return badArgument ? CliExitUsage : CliExitFileError;
    }
    std::string removed;
    for (const auto& [index, record] : result.Changed) {
        removed += ListLine(index + 1, record);
    }
    out << removed;
    return CliExitOk;
}

// Whether both paths name one file, however they are spelled (links and hard links too).
bool SameFile(const std::string& a, const std::string& b) {
    const std::optional<FileFacts> first = LookAtFile(a);
    const std::optional<FileFacts> second = LookAtFile(b);
    return first && second && first->Volume == second->Volume && first->Index == second->Index;
}

int Export(const std::string& path, const std::string& format, const std::string& output,
           std::ostream& out, std::ostream& err) {
    if (!output.empty() && SameFile(path, output)) {
        err << "gradewick-cli: the output '" << output << "' is the result file '" << path
            << "' itself; nothing written\n";
        return CliExitUsage;
    }
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    int passedOver = 0;
    const ExportData data = CollectResults(passedOver);
    PrintWarnings(path, report, passedOver, err);
    const std::string text = format == "csv" ? FormatCsv(data) : FormatJson(data);
    if (output.empty()) {
        out << text;
        return CliExitOk;
    }
    const RewriteResult written = ReplaceFileContents(output, std::nullopt, text);
    if (written.Status != RewriteStatus::Done) {
        err << "gradewick-cli: cannot write '" << output << "': " << written.Message << '\n';
        return CliExitFileError;
    }
    return CliExitOk;
}

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

// Runs the command; removed tells whether records were taken out of a file.
int RunCommand(int argc, const char* const* argv, std::ostream& out, std::ostream& err,
               bool& removed) {
    CLI::App app{"Gradewick's grade records from the command line: semester GPA and CGPA of a "
                 "result file (.rst)",
                 "gradewick-cli"};
    app.set_version_flag("--version", std::string("gradewick-cli ") + GRADEWICK_VERSION_STRING);
    app.require_subcommand(1);

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

    std::string format;
    std::string output;
    CLI::App* exportCommand = app.add_subcommand(
        "export", "Every semester's subjects, GPA and verdict, and the CGPA, as CSV or JSON");
    exportCommand->add_option("FILE", path, "result file")->required();
    exportCommand->add_option("--format", format, "csv (RFC 4180) or json")
        ->required()
        ->check(CLI::IsMember({"csv", "json"}));
    exportCommand->add_option("--output", output, "write to this file, not standard output");
    exportCommand->footer("Output is UTF-8: subject names that are not valid UTF-8 are read as "
                          "Windows-1252, the 8-bit code page of the result file, and converted.");

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
        removed = status == CliExitOk;
        return status;
    }
    if (exportCommand->parsed()) {
        return Export(path, format, output, out, err);
    }
    return Report(path, out, err);
}

} // namespace

int RunGradewickCli(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
    bool removed = false;
    int status = CliExitOk;
    // Whatever a library throws (the JSON writer, the allocator) ends in a message.
    try {
        status = RunCommand(argc, argv, out, err, removed);
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
    // The exit code says what became of the file: a removal that happened stands.
    if (removed) {
        err << "gradewick-cli: warning: the records are removed, but the list of them could not "
               "be written\n";
        return status;
    }
    err << "gradewick-cli: could not write the output\n";
    return CliExitFileError;
}
