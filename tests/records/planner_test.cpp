// The planner against a brute-force model over random result files. The model keeps the records
// that the view counts in a vector, makes every plan's CGPA text the slow obvious way, tries every
// uniform grade, and finds each mix by enumerating every set of subjects.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <numeric>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "planner.h"
#include "result_file.h"
#include "summary.h"

namespace {

struct Counted {
    int Semester, Credits, Grade;
};

constexpr double Weight[] = {4.0, 3.7, 3.3, 3.0, 2.7, 2.3, 2.0, 1.7, 1.3, 1.0};
constexpr int Tenths[] = {40, 37, 33, 30, 27, 23, 20, 17, 13, 10};
int halfway = 0; // plans whose exact decimal CGPA lies halfway between two texts

std::string Cgpa(const std::vector<Counted>& records) {
    double points[8] = {};
    int credits = 0, tenths = 0;
    for (const Counted& r : records) {
        points[r.Semester] += r.Credits * Weight[r.Grade];
        credits += r.Credits, tenths += r.Credits * Tenths[r.Grade];
    }
    if (credits == 0) {
        return "";
    }
    halfway += 20 * tenths % credits == 0 && 20 * tenths / credits % 2 == 1;
    const double cgpa = static_cast<double>(std::accumulate(points, points + 8, 0.0L)) / credits;
    char text[16] = "";
    std::to_chars(text, text + sizeof text - 1, cgpa, std::chars_format::fixed, 2);
    return text;
}

PlanAnswer Model(const std::vector<Counted>& counted, const PlanQuestion& q) {
    const int n = static_cast<int>(q.Credits.size());
    const auto plan = [&](const auto& gradeOf) {
        std::vector<Counted> all = counted;
        for (int i = 0; i < n; ++i) {
            all.push_back({q.Semester, q.Credits[i], gradeOf(i)});
        }
        return Cgpa(all);
    };
    const auto reaches = [&](const std::string& cgpa) {
        return std::lround(std::stod(cgpa) * 100) >= q.Target;
    };
    std::vector<std::string> uniform;
    int lowest = -1;
    for (int g = 0; g < 10; ++g) {
        uniform.push_back(plan([g](int) { return g; }));
        lowest = reaches(uniform[g]) ? g : lowest;
    }
    if (lowest == 9 || lowest < 0) {
        const PlanState state = lowest < 0 ? PlanState::Unreachable : PlanState::Reached;
        return {uniform[0], uniform[9], state, -1, {}, {}, {}};
    }
    PlanAnswer a{uniform[0], uniform[9], PlanState::Reachable, lowest, uniform[lowest], {}, {}};
    // For each count, the set of the most credits, the earliest subjects of equal credits: subject
    // i is bit n - 1 - i, so that of sets of equal credits the one of earlier subjects comes first.
    std::vector<unsigned> chosen(n, 0);
    std::vector<int> most(n, -1);
    for (unsigned set = (1U << n) - 2; set > 0; --set) {
        int credits = 0;
        for (int i = 0; i < n; ++i) {
            credits += (set >> (n - 1 - i) & 1) * q.Credits[i];
        }
        if (const int k = std::popcount(set); credits > most[k]) {
            chosen[k] = set, most[k] = credits;
        }
    }
    for (int k = 1; k < n && !a.Mix; ++k) {
        const auto in = [&](int i) { return (chosen[k] >> (n - 1 - i) & 1) != 0; };
        if (const std::string cgpa = plan([&](int i) { return a.Grade + !in(i); }); reaches(cgpa)) {
            a.Mix = PlanMix{{}, cgpa};
            for (int i = 0; i < n; ++i) {
                in(i) ? a.Mix->Subjects.push_back(i + 1) : void();
            }
        }
    }
    int credits = 0, tenths = 0, average = 0;
    const int coming = std::accumulate(q.Credits.begin(), q.Credits.end(), 0);
    for (const Counted& r : counted) {
        credits += r.Credits, tenths += r.Credits * Tenths[r.Grade];
    }
    while (average * coming < q.Target * (credits + coming) - 10 * tenths) {
        ++average;
    }
    a.Average = std::to_string(average / 100) + (average % 100 < 10 ? ".0" : ".") +
                std::to_string(average % 100);
    return a;
}

auto Fields(const PlanAnswer& a) {
    return std::tuple(a.Best, a.Worst, static_cast<int>(a.State), a.Grade, a.GradeCgpa,
                      a.Mix ? a.Mix->Subjects : std::vector<int>(), a.Mix ? a.Mix->Cgpa : "",
                      a.Average);
}

TEST(Planner, AgreesWithABruteForceModelOverRandomFiles) {
    EnsureExtendedPrecision();
    static const struct {
        const char* Name;
        unsigned Seed;
        int Files, MinRecords, MaxRecords;
        int NoSemester, Damaged; // per cent of the records
        const char* Credits;     // what records and coming subjects take
    } cases[] = {
        {"a few counted records", 1, 300, 0, 12, 0, 0, "1234"},
        {"records of no semester and damaged records", 2, 200, 1, 40, 15, 15, "1234"},
        {"the 100-record limit", 3, 30, 97, 106, 5, 5, "1234"},
        {"even credits, for halfway texts", 4, 300, 0, 20, 0, 0, "24"},
    };
    for (const auto& c : cases) {
        std::mt19937 random(c.Seed);
        const auto pick = [&](int count) { return static_cast<int>(random() % count); };
        const auto credit = [&] { return c.Credits[pick(std::strlen(c.Credits))] - '0'; };
        for (int file = 0; file < c.Files; ++file) {
            SCOPED_TRACE(testing::Message() << c.Name << ", file " << file);
            std::string bytes;
            std::vector<Counted> counted;
            const int records = c.MinRecords + pick(c.MaxRecords - c.MinRecords + 1);
            const int last = pick(8); // the highest semester of the file
            for (int i = 0; i < records; ++i) {
                const int kind = pick(100);
                const bool damaged = kind >= c.NoSemester && kind < c.NoSemester + c.Damaged;
                const Counted r{pick(last + 1), credit(), pick(10)};
                const int creditIndex = r.Credits - 1 + (damaged && pick(2) ? 4 : 0);
                bytes += (kind < c.NoSemester ? "Term " : "Semester ") +
                         std::to_string(r.Semester + 1) + "\r\nS\r\n" +
                         std::to_string(creditIndex) + "\r\n" +
                         std::to_string(r.Grade + (damaged && creditIndex < 4 ? 10 : 0)) + "\r\n";
                if (kind >= c.NoSemester + c.Damaged && i < RecordCapacity) {
                    counted.push_back(r);
                }
            }
            RecordTableArray table;
            LoadRecordBytes(bytes, table);
            const PlanStart start = StartOfPlan(table);
            int highest = -1, credits = 0;
            std::vector<int> of[8]; // each semester's credits
            for (const Counted& r : counted) {
                highest = std::max(highest, r.Semester), credits += r.Credits;
                of[r.Semester].push_back(r.Credits);
            }
            std::vector<int> coming(5, 3);
            if (highest >= 0) {
                coming.assign(of[highest].begin(),
                              of[highest].begin() + std::min<std::size_t>(of[highest].size(), 12));
            }
            EXPECT_EQ(std::tuple(start.CgpaNow, start.CreditsNow, start.Semester, start.Credits),
                      std::tuple(Cgpa(counted), credits, std::min(highest + 1, 7), coming));
            for (int question = 0; question < 3; ++question) {
                PlanQuestion q{0, start.Semester, start.Credits};
                if (question > 0) {
                    q.Semester = pick(8);
                    q.Credits.assign(1 + pick(12), 0);
                    std::generate(q.Credits.begin(), q.Credits.end(), credit);
                }
                std::vector<Counted> near = counted; // a target near some plan's CGPA
                for (const int credits : q.Credits) {
                    near.push_back({q.Semester, credits, pick(10)});
                }
                q.Target = std::clamp<int>(std::lround(std::stod(Cgpa(near)) * 100) + pick(3) - 1,
                                           100, 400);
                q.Target = pick(2) ? 100 + pick(301) : q.Target;
                SCOPED_TRACE(testing::Message() << "target " << q.Target);
                EXPECT_EQ(Fields(PlanTarget(table, q)), Fields(Model(counted, q)));
            }
        }
    }
    EXPECT_GT(halfway, 500) << "too few halfway texts to tell the orders of addition apart";
}

} // namespace
