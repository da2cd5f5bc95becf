// The grade arithmetic: classification by label, quality points, semester sums and rows, GPA
// texts and verdicts, and the CGPA.
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "result_file.h"
#include "summary.h"
#include "test_support.h"

namespace {

struct Entry {
    const char* Label;
    const char* Subject;
    int CreditIndex;
    int GradeIndex;
};

RecordTableArray MakeTable(const std::vector<Entry>& entries) {
    RecordTableArray table{};
    ResetRecordTable(table);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        std::strncpy(table[i].Label, entries[i].Label, LabelSize - 1);
        std::strncpy(table[i].Subject, entries[i].Subject, SubjectSize - 1);
        table[i].CreditIndex = entries[i].CreditIndex;
        table[i].GradeIndex = entries[i].GradeIndex;
    }
    return table;
}

// Grade indices by letter, and the credit index of n credits.
constexpr int A = 0, AMinus = 1, B = 3, C = 6, D = 9;
constexpr int Cr(int n) {
    return n - 1;
}

TEST(ClassifyRecord, FirstSemesterTextFoundAnywhereInTheLabel) {
    const std::vector<std::pair<const char*, int>> labels = {
        {"Semester 1\n", 0}, {"Semester 8", 7}, {"xSemester 3y\n", 2}, {"Semester 12", 0},
        {"SSemester 5", 4},  {"", -1},          {"Semester 9", -1},    {"Semester 0", -1},
        {"semester 1", -1},  {"Semester1", -1}, {"Semester \n", -1},   {"Term 1", -1}};
    for (const auto& [label, semester] : labels) {
        SubjectRecord record{};
        std::strncpy(record.Label, label, LabelSize - 1);
        EXPECT_EQ(ClassifyRecord(record).value_or(-1), semester) << label;
    }
    // A label that fills its array without a terminator is read within the array only.
    SubjectRecord full{};
    std::memcpy(full.Label, "xxxxxSemester 6", LabelSize);
    EXPECT_EQ(ClassifyRecord(full), 5);
    std::memcpy(full.Label, "xxxxxxSemester ", LabelSize);
    std::memcpy(full.Subject, "4", 2);
    EXPECT_FALSE(ClassifyRecord(full).has_value());
}

TEST(QualityPoints, IntegerWeightsExactRealWeightsOneDoubleProduct) {
    EXPECT_EQ(QualityPoints(4, A), 16.0);
    EXPECT_EQ(QualityPoints(3, D), 3.0);
    volatile double credits = 3; // a run-time product, never fused
    EXPECT_EQ(QualityPoints(3, 8), credits * 1.3);
    EXPECT_GT(QualityPoints(3, AMinus), 11.1);
    EXPECT_EQ(QualityPoints(1, 10), 0.0);
}

TEST(SemesterGpa, TextsAndVerdictsOfTheWorkedExamples) {
    struct Case {
        std::vector<Entry> Entries;
        const char* Text;
        GpaVerdict Verdict;
    };
    const std::vector<Case> cases = {
        // The quotient equals the double 3.7: not strictly above it.
        {{{"Semester 1\n", "X\n", Cr(1), AMinus}}, "3.70", GpaVerdict::Bad},
        // 11.100000000000001 over 3 lies just above it.
        {{{"Semester 1\n", "X\n", Cr(3), AMinus}}, "3.70", GpaVerdict::Good},
        // Above it in extended precision, equal to it once rounded to double.
        {{{"Semester 1\n", "X\n", Cr(3), AMinus}, {"Semester 1\n", "Y\n", Cr(4), AMinus}},
         "3.70",
         GpaVerdict::Good},
        {{{"Semester 1\n", "X\n", Cr(4), A},
          {"Semester 1\n", "Y\n", Cr(3), A},
          {"Semester 1\n", "Z\n", Cr(3), B}},
         "3.70",
         GpaVerdict::Bad},
        // 25 over 8 is 3.125 exactly: halfway goes to the even digit.
        {{{"Semester 1\n", "X\n", Cr(4), A},
          {"Semester 1\n", "Y\n", Cr(1), B},
          {"Semester 1\n", "Z\n", Cr(2), C},
          {"Semester 1\n", "W\n", Cr(1), C}},
         "3.12",
         GpaVerdict::Bad},
        {{{"Semester 2\n", "X\n", Cr(4), A}}, "", GpaVerdict::NoCredits},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Text);
        SemesterTotalsData totals{};
        SummarizeRecords(MakeTable(c.Entries), totals, 0);
        const GpaResult gpa = SemesterGpa(totals, 0);
        EXPECT_EQ(gpa.Text, c.Text);
        EXPECT_EQ(gpa.Verdict, c.Verdict);
    }
    EXPECT_EQ((QualityPoints(3, AMinus) + QualityPoints(4, AMinus)) / 7, 3.7);
    EXPECT_EQ(FormatTwoDecimals(3.375), "3.38");
    EXPECT_EQ(FormatTwoDecimals(1.005), "1.00"); // the double lies below 1.005
    SemesterTotalsData none{};
    EXPECT_EQ(SemesterGpa(none, 8).Verdict, GpaVerdict::NoCredits);
}

TEST(SummarizeRecords, FirstSevenRowsEveryRecordSummed) {
    RecordTableArray table{};
    ResetRecordTable(table);
    for (int i = 0; i < 12; ++i) {
        SubjectRecord& record = table[static_cast<std::size_t>(i)];
        // Nine records of semester 3 (one without a subject), three of semester 4.
        std::memcpy(record.Label, i % 4 == 1 ? "Semester 4\n" : "Semester 3\n", 12);
        if (i != 2) {
            (void)std::snprintf(record.Subject, SubjectSize, "Subject %d\n", i);
        }
        record.CreditIndex = i % 4;
        record.GradeIndex = i % 10;
    }
    SemesterTotalsData totals{};
    totals.Credits[5] = 99; // stale sums are cleared
    const SummarySlots slots = SummarizeRecords(table, totals, 2);
    // The empty subject of record 2 uses up slot 2 and leaves it blank.
    const int shown[] = {0, -1, 3, 4, 6, 7, 8};
    for (int slot = 0; slot < SummarySlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const int i = shown[slot];
        const auto& row = slots.Slots[static_cast<std::size_t>(slot)];
        ASSERT_EQ(row.has_value(), i >= 0);
        if (i >= 0) {
            EXPECT_EQ(std::string(row->Subject), "Subject " + std::to_string(i) + "\n");
            EXPECT_EQ(std::string(row->Credits), std::to_string(i % 4 + 1));
            EXPECT_STREQ(row->Grade, GradeLetter(i % 10));
        }
    }
    // Credits (i % 4) + 1 over i = 0, 2, 3, 4, 6, 7, 8, 10, 11 and i = 1, 5, 9.
    EXPECT_EQ(totals.Credits[2], 1 + 3 + 4 + 1 + 3 + 4 + 1 + 3 + 4);
    EXPECT_EQ(totals.Credits[3], 2 + 2 + 2);
    EXPECT_EQ(totals.Credits[5], 0);
    EXPECT_EQ(slots.PassedOver, 0);
}

TEST(SummarizeRecords, DamagedRecordsArePassedOverAndCounted) {
    const RecordTableArray table = MakeTable({{"Semester 1\n", "Bad credit\n", 4, A},
                                              {"Semester 1\n", "Bad grade\n", Cr(1), 10},
                                              {"Semester 1\n", "Cut\n", UnsetIndex, UnsetIndex},
                                              {"Semester 2\n", "Negative\n", -1, -5},
                                              {"Semester 1\n", "\n", Cr(2), C},
                                              {"No semester\n", "Ignored\n", 77, 77}});
    SemesterTotalsData totals{};
    const SummarySlots slots = SummarizeRecords(table, totals, 0);
    EXPECT_EQ(slots.PassedOver, 4);
    // A lone line feed is a subject: its row shows.
    ASSERT_TRUE(slots.Slots[0].has_value());
    EXPECT_STREQ(slots.Slots[0]->Subject, "\n");
    EXPECT_FALSE(slots.Slots[1].has_value());
    EXPECT_EQ(totals.Credits[0], 2);
    EXPECT_EQ(totals.Points[0], 4.0);
    EXPECT_EQ(totals.Credits[1], 0);
}

TEST(ComputeCumulative, SumsInExtendedPrecisionAndRoundsOnce) {
    SemesterTotalsData totals{};
    const double half = std::ldexp(1.0, -53); // half an ulp of 1.0
    totals.Credits[0] = 1;
    totals.Points[0] = 1.0;
    totals.Points[1] = half;
    totals.Points[2] = half;
    ComputeCumulative(totals);
    // Added in double, each half would vanish; together they make one ulp.
    EXPECT_EQ(totals.TotalPoints, 1.0 + 2 * half);
}

TEST(ProgramWideState, LoadAndSummaryWorkOnTheSharedTableAndTotals) {
    TemporaryFile file;
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), true, "Semester 1", "Physics", Cr(4), A));
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 2", "Law", Cr(3), B));
    EXPECT_EQ(LoadRecordTable(file.Path().c_str()).RecordsRead, 2);
    // The CGPA covers every semester, whichever is shown.
    for (int s : {1, 0}) {
        const SummarySlots slots = SummarizeRecords(s);
        ASSERT_TRUE(slots.Slots[0].has_value());
        EXPECT_STREQ(slots.Slots[0]->Subject, s == 0 ? "Physics\n" : "Law\n");
        EXPECT_EQ(ComputeCumulative(), "3.57"); // 25 over 7
        EXPECT_EQ(SemesterTotals.TotalCredits, 7);
    }
    EXPECT_EQ(SemesterGpa(0).Text, "4.00");
    EXPECT_EQ(SemesterGpa(0).Verdict, GpaVerdict::Good);
}

#if defined(__x86_64__) || defined(__i386__)
unsigned PrecisionControl() {
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    return (word >> 8) & 3U;
}

TEST(EnsureExtendedPrecision, LeavesTheX87UnitAtSixtyFourBits) {
    EnsureExtendedPrecision();
    EXPECT_EQ(PrecisionControl(), 3U);
#if defined(_WIN32)
    // What a 53-bit default would look like: precision control 2.
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    const auto narrowed = static_cast<unsigned short>((word & ~0x0300U) | 0x0200U);
    __asm__ volatile("fldcw %0" : : "m"(narrowed));
    ASSERT_EQ(PrecisionControl(), 2U);
    EnsureExtendedPrecision();
    EXPECT_EQ(PrecisionControl(), 3U);
#endif
}
#endif

} // namespace
