// The export's data from a record table, and its CSV.
#include "results_export.h"

#include <initializer_list>

#include "encoding.h"
#include "grade_scale.h"

namespace {

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c == '"' ? "\"\"" : std::string(1, c);
    }
    return quoted + '"';
}

std::string CsvRow(std::initializer_list<std::string> fields) {
    std::string row;
    const char* separator = "";
    for (const std::string& field : fields) {
        row += separator;
        row += CsvField(field);
        separator = ",";
    }
    return row + "\r\n";
}

} // namespace

const char* VerdictWord(GpaVerdict verdict) {
    switch (verdict) {
    case GpaVerdict::Good: return "good";
    case GpaVerdict::Bad: return "bad";
    case GpaVerdict::NoCredits: return "normal";
    }
    return "normal";
}

ExportData CollectExportData(const RecordTableArray& table, int& passedOver) {
    SemesterTotalsData totals{};
    passedOver = SummarizeRecords(table, totals, 0).PassedOver;
    ExportData data;
    for (int s = 0; s < SemesterCount; ++s) {
        if (totals.Credits[s] == 0) {
            continue;
        }
        const GpaResult gpa = SemesterGpa(totals, s);
        ExportSemester semester{SemesterLabel(s), {},       totals.Credits[s],
                                totals.Points[s], gpa.Text, VerdictWord(gpa.Verdict)};
        for (const SubjectRecord& record : table) {
            if (CountedSemester(record) == s) {
                const int credits = *CreditValue(record.CreditIndex);
                semester.Subjects.push_back({std::string(WithoutLineFeed(record.Subject)), credits,
                                             GradeLetter(record.GradeIndex),
                                             QualityPoints(credits, record.GradeIndex)});
            }
        }
        data.Semesters.push_back(std::move(semester));
    }
    data.Cgpa = ComputeCumulative(totals);
    data.Credits = totals.TotalCredits;
    data.QualityPoints = totals.TotalPoints;
    return data;
}

std::string FormatCsv(const ExportData& data, unsigned codePage, bool byteOrderMark) {
    std::string csv = byteOrderMark ? "\xEF\xBB\xBF" : "";
    csv += CsvRow(
        {"Row", "Semester", "Subject", "Credits", "Grade", "Quality points", "GPA", "Verdict"});
    for (const ExportSemester& semester : data.Semesters) {
        for (const ExportSubject& subject : semester.Subjects) {
            csv += CsvRow({"subject", semester.Label, Utf8FromStoredText(subject.Name, codePage),
                           std::to_string(subject.Credits), subject.Grade,
                           FormatTwoDecimals(subject.QualityPoints), "", ""});
        }
        csv += CsvRow({"semester", semester.Label, "", std::to_string(semester.Credits), "",
                       FormatTwoDecimals(semester.QualityPoints), semester.Gpa, semester.Verdict});
    }
    csv += CsvRow({"cgpa", "", "", std::to_string(data.Credits), "",
                   FormatTwoDecimals(data.QualityPoints), data.Cgpa, ""});
    return csv;
}
