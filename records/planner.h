// What it takes to reach a target CGPA. A plan is the records the results view counts, followed
// by one record per coming subject in the coming semester; its CGPA text is made by the summary
// exactly as the results view makes it (the same order of additions, the same rounding), but
// without the limit of 100 records. A target is reached when that text, read as a number, is at
// least the target.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "subject_record.h"

constexpr int LowestTarget = 100;  // 1.00, in hundredths
constexpr int HighestTarget = 400; // 4.00
constexpr int MaxComingSubjects = 12;

// Where every plan starts: what the view counts now, and the question's defaults.
struct PlanStart {
    std::string CgpaNow; // empty when no record is counted
    int CreditsNow = 0;
    int Semester = 0; // 0..7: after the highest semester with a counted record, never past 8
    std::vector<int> Credits; // that semester's credits in file order (at most 12), or 3 3 3 3 3
};

struct PlanQuestion {
    int Target = LowestTarget; // hundredths, 100..400
    int Semester = 0;          // 0..7
    std::vector<int> Credits;  // 1 to 12 values of 1..4
};

enum class PlanState { Reached, Reachable, Unreachable };

// Mixed grades: the subjects named at the plan's grade, the others at the grade just below it.
struct PlanMix {
    std::vector<int> Subjects; // numbers in the list of credits, from 1, ascending
    std::string Cgpa;
};

struct PlanAnswer {
    std::string Best;  // A in every coming subject
    std::string Worst; // D in every coming subject
    PlanState State = PlanState::Unreachable;
    // When reachable: the lowest grade index that reaches the target in every subject, its
    // CGPA, the mix with the fewest subjects at that grade if one reaches, and the average grade
    // points needed over the coming credits, rounded up to two decimals.
    int Grade = -1;
    std::string GradeCgpa;
    std::optional<PlanMix> Mix;
    std::string Average;
};

PlanStart StartOfPlan(const RecordTableArray& table);
PlanAnswer PlanTarget(const RecordTableArray& table, const PlanQuestion& question);

// Digits with an optional point and one or two decimals ("3.5", "3.50", "4"), from 1.00 to
// 4.00: the value in hundredths.
std::optional<int> ParseTarget(std::string_view text);
// 1 to 12 credits of 1..4 with spaces or commas between ("3 3 4 2", "3,3,4,2", "3, 4"); an
// empty item (",3", "3,,4") is refused.
std::optional<std::vector<int>> ParseCredits(std::string_view text);
// Hundredths as "3.50".
std::string HundredthsText(int hundredths);

// "CGPA now: 3.21 over 9 credits." or "No subject is counted yet."
std::string NowSentence(const PlanStart& start);
// The answer, a sentence a line.
std::vector<std::string> AnswerSentences(const PlanQuestion& question, const PlanAnswer& answer);
