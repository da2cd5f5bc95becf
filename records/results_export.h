// A result file's semesters, subjects, GPAs and CGPA as other programs take them: collected from
// a record table as the results view sums them, and written as CSV for spreadsheets (JSON is the
// companion's own).
#pragma once

#include <string>
#include <vector>

#include "subject_record.h"
#include "summary.h"

struct ExportSubject {
    std::string Name; // as stored, without its line feed; any bytes
    int Credits = 0;
    std::string Grade;
    double QualityPoints = 0.0;
};

struct ExportSemester {
    std::string Label;
    std::vector<ExportSubject> Subjects; // every counted subject, not only the seven shown
    int Credits = 0;
    double QualityPoints = 0.0;
    std::string Gpa;     // as the results view shows it
    std::string Verdict; // "good", "bad" or "normal"
};

struct ExportData {
    std::vector<ExportSemester> Semesters; // those with records, in semester order
    int Credits = 0;
    double QualityPoints = 0.0;
    std::string Cgpa; // empty when no semester has credits
};

// "good", "bad" or "normal".
const char* VerdictWord(GpaVerdict verdict);

// Every semester with records, with every subject that it counts, as the results view sums
// them; passedOver receives the number of damaged records.
ExportData CollectExportData(const RecordTableArray& table, int& passedOver);

// RFC 4180: a header row, CR LF after every row, fields with a comma, quote or line break
// quoted. A "Row" column tells subject, semester and cgpa rows apart. Subjects are converted to
// UTF-8 (Utf8FromStoredText) from codePage; with byteOrderMark the text starts with UTF-8's
// byte order mark, by which spreadsheets know it for UTF-8.
std::string FormatCsv(const ExportData& data, unsigned codePage, bool byteOrderMark);
