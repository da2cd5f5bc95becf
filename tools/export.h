// A result file's semesters, subjects, GPAs and CGPA as CSV or JSON, for spreadsheets and
// other programs.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// Valid UTF-8 as it is; any other text is read as Windows-1252 (the 8-bit code page the
// program writes on Western systems) and converted.
std::string ToUtf8(std::string_view text);

// RFC 4180: a header row, CR LF after every row, fields with a comma, quote or line break
// quoted. A "Row" column tells subject, semester and cgpa rows apart.
std::string FormatCsv(const ExportData& data);

// One JSON object, texts in UTF-8.
std::string FormatJson(const ExportData& data);
