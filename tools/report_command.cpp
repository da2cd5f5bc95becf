// report: every semester with all its subjects, and the CGPA, for a person to read.
#include "commands.h"

#include <algorithm>
#include <iomanip>
#include <sstream>

#include "encoding.h"
#include "summary.h"

namespace companion {

namespace {

constexpr std::size_t MaxSubjectBytes = SubjectSize - 1;

} // namespace

int Report(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    int passedOver = 0;
    const ExportData data = CollectExportData(RecordTable, passedOver);
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

} // namespace companion
