// The fixed vocabulary of the program: the ten grades with their letters, point texts and
// weights, the four credit choices and the eight semester labels.
#pragma once

#include <array>
#include <optional>

// One grade of the scale. Four weights are whole numbers and are applied by integer
// multiplication; the other six are the nearest doubles to their decimals.
struct GradeEntry {
    const char* Letter;
    const char* PointText;
    bool IntegerWeight; // true: quality points are credits * WholeWeight, in int
    int WholeWeight;    // used when IntegerWeight
    double RealWeight;  // used when !IntegerWeight; the literal's nearest double
};

constexpr int GradeCount = 10;
constexpr int CreditChoiceCount = 4;
constexpr int SemesterCount = 8;

// Weight of "A-", also the GPA threshold of the verdict.
constexpr double GoodGpaThreshold = 3.7;

inline constexpr std::array<GradeEntry, GradeCount> GradeScale = {{
    {"A", "4.0", true, 4, 0.0},
    {"A-", "3.7", false, 0, 3.7},
    {"B+", "3.3", false, 0, 3.3},
    {"B", "3.0", true, 3, 0.0},
    {"B-", "2.7", false, 0, 2.7},
    {"C+", "2.3", false, 0, 2.3},
    {"C", "2.0", true, 2, 0.0},
    {"C-", "1.7", false, 0, 1.7},
    {"D+", "1.3", false, 0, 1.3},
    {"D", "1.0", true, 1, 0.0},
}};

// Lookups. Each answers only for its range and reports "no entry" (nullptr or nullopt)
// for any other index; the caller decides what to do then.
const char* GradeLetter(int gradeIndex);         // "A".."D" for 0..9
const char* GradePointText(int gradeIndex);      // "4.0".."1.0" for 0..9
std::optional<int> CreditValue(int creditIndex); // 1..4 for 0..3
const char* CreditText(int creditIndex);         // "1".."4" for 0..3
const char* SemesterLabel(int semesterIndex);    // "Semester 1".."Semester 8" for 0..7

// Grade index of a letter ("B-" -> 4), or nullopt for anything not on the scale.
std::optional<int> GradeIndexOfLetter(const char* letter);
