// All of the program's grade arithmetic: semester sums, subject rows, GPA, verdict and CGPA.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "grade_scale.h"
#include "subject_record.h"

struct SemesterTotalsData {
    std::int32_t Credits[SemesterCount];
    double Points[SemesterCount];
    std::int32_t TotalCredits;
    double TotalPoints;
};

// The one program-wide instance, zero at start.
extern SemesterTotalsData SemesterTotals;

enum class GpaVerdict { Good, Bad, NoCredits };

// One row of the semester on screen.
struct SummaryRow {
    char Subject[SubjectSize]; // exactly as stored, normally with its line feed
    char Credits[2];           // "1".."4"
    char Grade[3];             // "A".."D"
};

constexpr int SummarySlotCount = 7;

// Seven rows of one semester from a first row on. A row is a record of the semester that counts,
// in table order, also one whose subject is empty (its row stays blank).
struct SummarySlots {
    std::array<std::optional<SummaryRow>, SummarySlotCount> Slots; // blank slots are nullopt
    std::array<int, SummarySlotCount> Records{-1, -1, -1, -1, -1, -1, -1}; // table index, or -1
    int RowCount = 0;                                                      // rows of the semester
    int PassedOver = 0; // records of a semester with a credit or grade index out of range
};

struct GpaResult {
    std::string Text; // "%.2f" of the quotient, or empty
    GpaVerdict Verdict = GpaVerdict::NoCredits;
};

// Semester index 0..7 of a record by its label ("Semester 1" first, substring, case-sensitive).
std::optional<int> ClassifyRecord(const SubjectRecord& record);

// The semester a record counts in: its semester, when its credit and grade indices are in range.
std::optional<int> CountedSemester(const SubjectRecord& record);

// Quality points of c credits (1..4) of grade g (0..9). Integer weights by integer
// multiplication; real weights as one double product.
double QualityPoints(int credits, int gradeIndex);

// Zeroes and refills Credits/Points of totals in one pass over the table, and returns the seven
// rows of semester s that follow its first firstRow rows. Records with indices out of range are
// passed over.
SummarySlots SummarizeRecords(const RecordTableArray& table, SemesterTotalsData& totals, int s,
                              int firstRow = 0);
SummarySlots SummarizeRecords(int s, int firstRow = 0); // program-wide table and totals

GpaResult SemesterGpa(const SemesterTotalsData& totals, int s);
GpaResult SemesterGpa(int s);

// Fills TotalCredits and TotalPoints; returns the CGPA text (may be empty).
std::string ComputeCumulative(SemesterTotalsData& totals);
std::string ComputeCumulative();

// "%.2f" with ties to even on every platform (3.125 -> "3.12").
std::string FormatTwoDecimals(double value);

// Keeps the x87 unit at its 64-bit significand (the verdict depends on it). Call once at
// the start of every program that uses the core.
void EnsureExtendedPrecision();
