#include "planner.h"

#include <algorithm>
#include <charconv>
#include <numeric>

#include "grade_scale.h"
#include "summary.h"

namespace {

constexpr int HighestGrade = 0;             // A
constexpr int LowestGrade = GradeCount - 1; // D
constexpr int DefaultComingCredits = 3;
constexpr int DefaultComingSubjects = 5;
constexpr int WholeLimit = 1000; // beyond every target: the hundredths stay within an int

// A number of hundredths read from digits with an optional point and one or two decimals.
std::optional<int> ReadHundredths(std::string_view text) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view decimals =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    const auto digits = [](std::string_view part) {
        return part.find_first_not_of("0123456789") == std::string_view::npos;
    };
    if (whole.empty() || !digits(whole) || !digits(decimals) ||
        (point != std::string_view::npos && (decimals.empty() || decimals.size() > 2))) {
        return std::nullopt;
    }
    int value = 0;
    if (std::from_chars(whole.data(), whole.data() + whole.size(), value).ec != std::errc{} ||
        value >= WholeLimit) {
        return std::nullopt;
    }
    value *= 100;
    for (std::size_t i = 0; i < 2; ++i) {
        value += (i < decimals.size() ? decimals[i] - '0' : 0) * (i == 0 ? 10 : 1);
    }
    return value;
}

// A grade's points in tenths, from its point text ("3.7" is 37).
int PointTenths(int gradeIndex) {
    const char* text = GradePointText(gradeIndex);
    return (text[0] - '0') * 10 + (text[2] - '0');
}

std::string CountOf(int number, const char* noun) {
    return std::to_string(number) + " " + noun + (number == 1 ? "" : "s");
}

// The records the view counts, summed as the view sums them.
SemesterTotalsData CountedTotals(const RecordTableArray& table) {
    SemesterTotalsData totals{};
    SummarizeRecords(table, totals, 0);
    return totals;
}

// The CGPA text of the counted records followed by one record per coming subject, the one at
// place i with credits[i] and grades[i], added after them as the summary adds a record.
std::string PlannedCgpa(SemesterTotalsData totals, int semester, const std::vector<int>& credits,
                        const std::vector<int>& grades) {
    for (std::size_t i = 0; i < credits.size(); ++i) {
        totals.Credits[semester] += credits[i];
        totals.Points[semester] += QualityPoints(credits[i], grades[i]);
    }
    return ComputeCumulative(totals);
}

bool Reaches(const std::string& cgpa, int target) {
    return ReadHundredths(cgpa).value_or(0) >= target;
}

// The mix with the fewest subjects at grade, the others one grade below: the subjects with the
// most credits first, the earlier of equal credits first.
std::optional<PlanMix> FewestAtGrade(const SemesterTotalsData& counted,
                                     const PlanQuestion& question, int grade) {
    const std::vector<int>& credits = question.Credits;
    std::vector<int> order(credits.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return credits[a] > credits[b]; });
    std::vector<int> grades(credits.size(), grade + 1);
    for (std::size_t k = 1; k < credits.size(); ++k) {
        grades[order[k - 1]] = grade;
        std::string cgpa = PlannedCgpa(counted, question.Semester, credits, grades);
        if (Reaches(cgpa, question.Target)) {
            PlanMix mix{std::vector<int>(order.begin(), order.begin() + k), std::move(cgpa)};
            std::sort(mix.Subjects.begin(), mix.Subjects.end());
            std::for_each(mix.Subjects.begin(), mix.Subjects.end(), [](int& s) { ++s; });
            return mix;
        }
    }
    return std::nullopt;
}

// The average grade points needed, in hundredths rounded up: (target x (credits so far +
// coming credits) - points so far) / coming credits, in whole tenths and hundredths so that it
// is exact. What is needed is more than nothing: D in every subject does not reach the target.
int AverageNeeded(const RecordTableArray& table, const PlanQuestion& question) {
    int credits = 0;
    int pointTenths = 0;
    for (const SubjectRecord& record : table) {
        if (CountedSemester(record)) {
            credits += record.CreditIndex + 1;
            pointTenths += (record.CreditIndex + 1) * PointTenths(record.GradeIndex);
        }
    }
    const int coming = std::accumulate(question.Credits.begin(), question.Credits.end(), 0);
    const int needed = question.Target * (credits + coming) - 10 * pointTenths;
    return (needed + coming - 1) / coming;
}

std::string SubjectList(const std::vector<int>& subjects) {
    std::string list = subjects.size() == 1 ? "subject " : "subjects ";
    for (std::size_t i = 0; i < subjects.size(); ++i) {
        list += (i == 0                     ? ""
                 : i + 1 == subjects.size() ? " and "
                                            : ", ") +
                std::to_string(subjects[i]);
    }
    return list;
}

} // namespace

PlanStart StartOfPlan(const RecordTableArray& table) {
    SemesterTotalsData totals = CountedTotals(table);
    PlanStart start;
    start.CgpaNow = ComputeCumulative(totals);
    start.CreditsNow = totals.TotalCredits;
    int highest = -1;
    for (const SubjectRecord& record : table) {
        highest = std::max(highest, CountedSemester(record).value_or(-1));
    }
    if (highest < 0) {
        start.Credits.assign(DefaultComingSubjects, DefaultComingCredits);
        return start;
    }
    start.Semester = std::min(highest + 1, SemesterCount - 1);
    for (const SubjectRecord& record : table) {
        if (CountedSemester(record) == highest && start.Credits.size() < MaxComingSubjects) {
            start.Credits.push_back(record.CreditIndex + 1);
        }
    }
    return start;
}

PlanAnswer PlanTarget(const RecordTableArray& table, const PlanQuestion& question) {
    const SemesterTotalsData counted = CountedTotals(table);
    const auto uniform = [&](int grade) {
        return PlannedCgpa(counted, question.Semester, question.Credits,
                           std::vector<int>(question.Credits.size(), grade));
    };
    PlanAnswer answer;
    answer.Best = uniform(HighestGrade);
    answer.Worst = uniform(LowestGrade);
    if (Reaches(answer.Worst, question.Target)) {
        answer.State = PlanState::Reached;
        return answer;
    }
    if (!Reaches(answer.Best, question.Target)) {
        answer.State = PlanState::Unreachable;
        return answer;
    }
    answer.State = PlanState::Reachable;
    answer.Grade = LowestGrade - 1;
    while (!Reaches(answer.GradeCgpa = uniform(answer.Grade), question.Target)) {
        --answer.Grade;
    }
    answer.Mix = FewestAtGrade(counted, question, answer.Grade);
    answer.Average = HundredthsText(AverageNeeded(table, question));
    return answer;
}

std::optional<int> ParseTarget(std::string_view text) {
    const std::optional<int> value = ReadHundredths(text);
    if (!value || *value < LowestTarget || *value > HighestTarget) {
        return std::nullopt;
    }
    return value;
}

std::optional<std::vector<int>> ParseCredits(std::string_view text) {
    std::vector<int> credits;
    std::size_t start = 0;
    while (start <= text.size()) { // each item between commas holds one or more credits
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string_view item = text.substr(start, comma - start);
        const std::size_t before = credits.size();
        std::size_t at = item.find_first_not_of(' ');
        while (at != std::string_view::npos) {
            const std::size_t end = std::min(item.find(' ', at), item.size());
            int value = 0;
            const std::string_view digits = item.substr(at, end - at);
            const auto read = std::from_chars(digits.data(), digits.data() + digits.size(), value);
            if (digits.find_first_not_of("0123456789") != std::string_view::npos ||
                read.ec != std::errc{} || value < 1 || value > CreditChoiceCount ||
                credits.size() == MaxComingSubjects) {
                return std::nullopt;
            }
            credits.push_back(value);
            at = item.find_first_not_of(' ', end);
        }
        if (credits.size() == before) {
            return std::nullopt; // an empty item
        }
        start = comma + 1;
    }
    return credits;
}

std::string HundredthsText(int hundredths) {
    const int decimals = hundredths % 100;
    return std::to_string(hundredths / 100) + (decimals < 10 ? ".0" : ".") +
           std::to_string(decimals);
}

std::string NowSentence(const PlanStart& start) {
    return start.CgpaNow.empty() ? "No subject is counted yet."
                                 : "CGPA now: " + start.CgpaNow + " over " +
                                       CountOf(start.CreditsNow, "credit") + ".";
}

std::vector<std::string> AnswerSentences(const PlanQuestion& question, const PlanAnswer& answer) {
    switch (answer.State) {
    case PlanState::Reached:
        return {"Reached whatever the grades: D in every subject still gives a CGPA of " +
                answer.Worst + "."};
    case PlanState::Unreachable:
        return {std::string("Not reachable in ") + SemesterLabel(question.Semester) +
                ": A in every subject gives a CGPA of " + answer.Best + "."};
    case PlanState::Reachable: break;
    }
    const std::string grade = GradeLetter(answer.Grade);
    std::vector<std::string> sentences{grade + (answer.Grade == HighestGrade ? "" : " or better") +
                                       " in every subject gives a CGPA of " + answer.GradeCgpa +
                                       "."};
    if (answer.Mix) {
        const std::size_t others = question.Credits.size() - answer.Mix->Subjects.size();
        sentences.push_back("Or: " + grade + " in " + SubjectList(answer.Mix->Subjects) + " and " +
                            GradeLetter(answer.Grade + 1) +
                            (others == 1 ? " in the other gives " : " in the others gives ") +
                            answer.Mix->Cgpa + ".");
    }
    const int coming = std::accumulate(question.Credits.begin(), question.Credits.end(), 0);
    sentences.push_back("That is an average of " + answer.Average + " grade points over " +
                        CountOf(coming, "credit") + ".");
    return sentences;
}
