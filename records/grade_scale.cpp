#include "grade_scale.h"

#include <cstring>

namespace {
constexpr const char* CreditTexts[CreditChoiceCount] = {"1", "2", "3", "4"};
constexpr const char* SemesterLabels[SemesterCount] = {"Semester 1", "Semester 2", "Semester 3",
                                                       "Semester 4", "Semester 5", "Semester 6",
                                                       "Semester 7", "Semester 8"};
} // namespace

const char* GradeLetter(int gradeIndex) {
    return gradeIndex >= 0 && gradeIndex < GradeCount ? GradeScale[gradeIndex].Letter : nullptr;
}

const char* GradePointText(int gradeIndex) {
    return gradeIndex >= 0 && gradeIndex < GradeCount ? GradeScale[gradeIndex].PointText : nullptr;
}

std::optional<int> CreditValue(int creditIndex) {
    if (creditIndex < 0 || creditIndex >= CreditChoiceCount) {
        return std::nullopt;
    }
    return creditIndex + 1;
}

const char* CreditText(int creditIndex) {
    return creditIndex >= 0 && creditIndex < CreditChoiceCount ? CreditTexts[creditIndex] : nullptr;
}

const char* SemesterLabel(int semesterIndex) {
    return semesterIndex >= 0 && semesterIndex < SemesterCount ? SemesterLabels[semesterIndex]
                                                               : nullptr;
}

std::optional<int> GradeIndexOfLetter(const char* letter) {
    if (letter == nullptr) {
        return std::nullopt;
    }
    for (int g = 0; g < GradeCount; ++g) {
        if (std::strcmp(GradeScale[g].Letter, letter) == 0) {
            return g;
        }
    }
    return std::nullopt;
}
