// The planner against a brute-force model over random result files. The model keeps the records
// that the view counts in a vector, makes every plan's CGPA text the slow obvious way, tries every
// uniform grade, and finds each mix by enumerating every set of subjects.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
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

std::string Cgpa(const std::vector<Counted>& records) {
    double points[8] = {};
    int credits = 0;
    for (const Counted& r : records) {
        points[r.Semester] += r.Credits * Weight[r.Grade];
        credits += r.Credits;
    }
    long double total = 0;
    for (const double p : points) {
        total += p;
    }
    char text[16];
    const double cgpa = static_cast<double>(total) / credits;
    return credits == 0 ? ""
                        : std::string(text, std::to_chars(text, text + sizeof text, cgpa,
                                                          std::chars_format::fixed, 2)
                                                .ptr);
}

int halfway = 0; // plans whose exact decimal CGPA lies halfway between two texts

PlanAnswer Model(const std::vector<Counted>& counted, const PlanQuestion& q) {
    const int n = static_cast<int>(q.Credits.size());
    const auto plan = [&](const std::vector<int>& grades) {
        std::vector<Counted> all = counted;
        for (int i = 0; i < n; ++i) {
            all.push_back({q.Semester, q.Credits[i], grades[i]});
        }
        int tenths = 0, credits = 0;
        for (const Counted& r : all) {
            tenths += r.Credits * Tenths[r.Grade];
            credits += r.Credits;
        }
        halfway += 20 * tenths % credits == 0 && 20 * tenths / credits % 2 == 1;
        return Cgpa(all);
    };
    const auto reaches = [&](const std::string& cgpa) {
        return std::lround(std::stod(cgpa) * 100) >= q.Target;
    };
    std::vector<std::string> uniform;
    for (int g = 0; g < 10; ++g) {
        uniform.push_back(plan(std::vector<int>(n, g)));
    }
    PlanAnswer a{uniform[0], uniform[9], {}, -1, {}, {}, {}};
    a.State = reaches(a.Worst)  ? PlanState::Reached
              : reaches(a.Best) ? PlanState::Reachable
                                : PlanState::Unreachable;
    if (a.State != PlanState::Reachable) {
        return a;
    }
    for (int g = 0; g < 10; ++g) {
        a.Grade = reaches(uniform[g]) ? g : a.Grade;
    }
    a.GradeCgpa = uniform[a.Grade];
    // For each count, the set of the most credits, the earliest subjects of equal credits.
    std::vector<unsigned> chosen(n, 0);
    std::vector<int> most(n, -1);
    for (unsigned set = 1; set + 1 < 1U << n; ++set) {
        const int k = std::popcount(set);
        int credits = 0;
        for (int i = 0; i < n; ++i) {
            credits += (set >> i & 1) * q.Credits[i];
        }
        const unsigned differ = set ^ chosen[k];
        if (credits > most[k] || (credits == most[k] && (set & (differ & -differ)) != 0)) {
            chosen[k] = set, most[k] = credits;
        }
    }
    for (int k = 1; k < n && !a.Mix; ++k) {
        std::vector<int> grades, subjects;
        for (int i = 0; i < n; ++i) {
            grades.push_back(chosen[k] >> i & 1 ? a.Grade : a.Grade + 1);
            if (chosen[k] >> i & 1) {
                subjects.push_back(i + 1);
            }
        }
        if (const std::string cgpa = plan(grades); reaches(cgpa)) {
            a.Mix = PlanMix{subjects, cgpa};
        }
    }
    int credits = 0, tenths = 0, coming = 0, average = 0;
    for (const Counted& r : counted) {
        credits += r.Credits, tenths += r.Credits * Tenths[r.Grade];
    }
    for (const int c : q.Credits) {
        coming += c;
    }
    while (average * coming < q.Target * (credits + coming) - 10 * tenths) {
        ++average;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%d.%02d", average / 100, average % 100);
    a.Average = text;
    return a;
}

std::string Describe(const PlanAnswer& a) {
    std::string mix = "none";
    if (a.Mix) {
        mix = a.Mix->Cgpa + " with";
        for (const int s : a.Mix->Subjects) {
            mix += " " + std::to_string(s);
        }
    }
    return "best " + a.Best + ", worst " + a.Worst + ", state " +
           std::to_string(static_cast<int>(a.State)) + ", grade " + std::to_string(a.Grade) +
           " for " + a.GradeCgpa + ", mix " + mix + ", average " + a.Average;
}

std::string Describe(const PlanStart& s) {
    std::string credits;
    for (const int c : s.Credits) {
        credits += " " + std::to_string(c);
    }
    return s.CgpaNow + " over " + std::to_string(s.CreditsNow) + ", semester " +
           std::to_string(s.Semester) + ", credits" + credits;
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
            int start = -1;
            for (int i = 0; i < records; ++i) {
                const int kind = pick(100);
                Counted r{pick(last + 1), credit(), pick(10)};
                int creditIndex = r.Credits - 1, grade = r.Grade;
                if (kind < c.NoSemester) {
                    bytes += "Term " + std::to_string(r.Semester + 1) + "\r\n";
                } else {
                    bytes += "Semester " + std::to_string(r.Semester + 1) + "\r\n";
                    creditIndex += kind < c.NoSemester + c.Damaged && pick(2) ? 4 : 0;
                    grade += kind < c.NoSemester + c.Damaged && creditIndex < 4 ? 10 : 0;
                }
                bytes += "S" + std::to_string(i) + "\r\n" + std::to_string(creditIndex) + "\r\n" +
                         std::to_string(grade) + "\r\n";
                if (kind >= c.NoSemester + c.Damaged && i < RecordCapacity) {
                    counted.push_back(r);
                    start = std::max(start, r.Semester);
                }
            }
            PlanStart expectedStart{Cgpa(counted), 0, std::min(start + 1, 7), {}};
            for (const Counted& r : counted) {
                expectedStart.CreditsNow += r.Credits;
                if (r.Semester == start && expectedStart.Credits.size() < 12) {
                    expectedStart.Credits.push_back(r.Credits);
                }
            }
            if (start < 0) {
                expectedStart.Credits = {3, 3, 3, 3, 3};
            }
            RecordTableArray table;
            LoadRecordBytes(bytes, table);
            EXPECT_EQ(Describe(StartOfPlan(table)), Describe(expectedStart));
            for (int question = 0; question < 3; ++question) {
                PlanQuestion q{0, expectedStart.Semester, expectedStart.Credits};
                if (question > 0) {
                    q.Semester = pick(8);
                    q.Credits.assign(1 + pick(12), 0);
                    std::generate(q.Credits.begin(), q.Credits.end(), credit);
                }
                std::vector<Counted> near = counted; // a target near some plan's CGPA
                for (const int credits : q.Credits) {
                    near.push_back({q.Semester, credits, pick(10)});
                }
                q.Target =
                    pick(2) ? 100 + pick(301)
                            : std::clamp<int>(
                                  std::lround(std::stod(Cgpa(near)) * 100) + pick(3) - 1, 100, 400);
                SCOPED_TRACE(testing::Message() << "target " << q.Target);
                EXPECT_EQ(Describe(PlanTarget(table, q)), Describe(Model(counted, q)));
            }
        }
    }
    EXPECT_GT(halfway, 500) << "too few halfway texts to tell the orders of addition apart";
}

} // namespace
