// The grade arithmetic: classification by label, quality points, semester sums and rows, GPA
// texts and verdicts, and the CGPA.
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <limits>
#include <string>

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

RecordTableArray MakeTable(std::initializer_list<Entry> entries) {
    RecordTableArray table{};
    ResetRecordTable(table);
    std::size_t i = 0;
    for (const Entry& entry : entries) {
        std::strncpy(table[i].Label, entry.Label, LabelSize - 1);
        std::strncpy(table[i].Subject, entry.Subject, SubjectSize - 1);
        table[i].CreditIndex = entry.CreditIndex;
        table[i].GradeIndex = entry.GradeIndex;
        ++i;
    }
    return table;
}

// Grade indices of the scale, by letter.
constexpr int A = 0, AMinus = 1, B = 3, C = 6, D = 9;
// Credit index of n credits.
constexpr int Cr(int n) {
    return n - 1;
}

GpaResult GpaOf(std::initializer_list<Entry> entries, int s = 0) {
    const RecordTableArray table = MakeTable(entries);
    SemesterTotalsData totals{};
    SummarizeRecords(table, totals, s);
    return SemesterGpa(totals, s);
}

SubjectRecord RecordWithLabel(const char* label) {
    SubjectRecord record{};
    std::strncpy(record.Label, label, LabelSize - 1);
    return record;
}

TEST(ClassifyRecord, FindsTheSemesterTextAnywhereInTheLabel) {
    EXPECT_EQ(ClassifyRecord(RecordWithLabel("Semester 1\n")), 0);
    EXPECT_EQ(ClassifyRecord(RecordWithLabel("Semester 8")), 7);
    EXPECT_EQ(ClassifyRecord(RecordWithLabel("xSemester 3y\n")), 2);
    EXPECT_EQ(ClassifyRecord(RecordWithLabel("Semester 12")), 0);
    EXPECT_EQ(ClassifyRecord(RecordWithLabel("SSemester 5")), 4);
}

TEST(ClassifyRecord, OtherLabelsBelongToNoSemester) {
    for (const char* label : {"", "Semester 9", "Semester 0", "semester 1", "Semester1",
                              "Semester \n", "Semester", "Term 1"}) {
        SCOPED_TRACE(label);
        EXPECT_FALSE(ClassifyRecord(RecordWithLabel(label)).has_value());
    }
    SubjectRecord empty{};
    ResetRecordTable();
    EXPECT_FALSE(ClassifyRecord(RecordTable[0]).has_value());
    EXPECT_FALSE(ClassifyRecord(empty).has_value());
}

TEST(ClassifyRecord, LabelWithoutTerminatorIsReadWithinItsArray) {
    SubjectRecord record{};
    std::memcpy(record.Label, "xxxxxSemester 6", LabelSize); // all 15 bytes, no NUL
    record.Subject[0] = '\0';
    EXPECT_EQ(ClassifyRecord(record), 5);
    std::memcpy(record.Label, "xxxxxxSemester ", LabelSize);
    std::memcpy(record.Subject, "4", 2); // a digit just past the array must not count
    EXPECT_FALSE(ClassifyRecord(record).has_value());
}

TEST(QualityPoints, IntegerWeightsMultiplyExactly) {
    EXPECT_EQ(QualityPoints(4, A), 16.0);
    EXPECT_EQ(QualityPoints(3, B), 9.0);
    EXPECT_EQ(QualityPoints(2, C), 4.0);
    EXPECT_EQ(QualityPoints(3, D), 3.0);
}

TEST(QualityPoints, RealWeightsAreOneDoubleProduct) {
    const double weights[] = {3.7, 3.3, 2.7, 2.3, 1.7, 1.3};
    const int grades[] = {1, 2, 4, 5, 7, 8};
    for (int i = 0; i < 6; ++i) {
        for (int c = 1; c <= 4; ++c) {
            volatile double credits = c; // keep the product at run time, unfused
            EXPECT_EQ(QualityPoints(c, grades[i]), credits * weights[i]) << c << " " << i;
        }
    }
    EXPECT_GT(QualityPoints(3, AMinus), 11.1);
    EXPECT_EQ(QualityPoints(4, AMinus), 4 * 3.7);
    EXPECT_EQ(QualityPoints(0, A), 0.0);
    EXPECT_EQ(QualityPoints(1, 10), 0.0);
}

TEST(SemesterGpa, VerdictComparesTheExtendedQuotientStrictly) {
    GpaResult one = GpaOf({{"Semester 1\n", "X\n", Cr(1), AMinus}});
    EXPECT_EQ(one.Text, "3.70");
    EXPECT_EQ(one.Verdict, GpaVerdict::Bad);

    GpaResult three = GpaOf({{"Semester 1\n", "X\n", Cr(3), AMinus}});
    EXPECT_EQ(three.Text, "3.70");
    EXPECT_EQ(three.Verdict, GpaVerdict::Good);

    GpaResult seven =
        GpaOf({{"Semester 1\n", "X\n", Cr(3), AMinus}, {"Semester 1\n", "Y\n", Cr(4), AMinus}});
    EXPECT_EQ(seven.Text, "3.70");
    EXPECT_EQ(seven.Verdict, GpaVerdict::Good);
    // Rounded to double first, that quotient would be the threshold itself.
    EXPECT_EQ((QualityPoints(3, AMinus) + QualityPoints(4, AMinus)) / 7, 3.7);

    GpaResult whole = GpaOf({{"Semester 1\n", "X\n", Cr(4), A},
                             {"Semester 1\n", "Y\n", Cr(3), A},
                             {"Semester 1\n", "Z\n", Cr(3), B}});
    EXPECT_EQ(whole.Text, "3.70");
    EXPECT_EQ(whole.Verdict, GpaVerdict::Bad);
}

TEST(SemesterGpa, HalfwayRoundsToEven) {
    GpaResult result = GpaOf({{"Semester 1\n", "X\n", Cr(4), A},
                              {"Semester 1\n", "Y\n", Cr(1), B},
                              {"Semester 1\n", "Z\n", Cr(2), C},
                              {"Semester 1\n", "W\n", Cr(1), C}});
    EXPECT_EQ(result.Text, "3.12");
    EXPECT_EQ(result.Verdict, GpaVerdict::Bad);
}

TEST(SemesterGpa, NoCreditsNoTextNoDivision) {
    SemesterTotalsData totals{};
    GpaResult result = SemesterGpa(totals, 3);
    EXPECT_EQ(result.Text, "");
    EXPECT_EQ(result.Verdict, GpaVerdict::NoCredits);
    EXPECT_EQ(SemesterGpa(totals, -1).Verdict, GpaVerdict::NoCredits);
    EXPECT_EQ(SemesterGpa(totals, 8).Verdict, GpaVerdict::NoCredits);
}

TEST(FormatTwoDecimals, RoundsToNearestWithTiesToEven) {
    EXPECT_EQ(FormatTwoDecimals(3.125), "3.12");
    EXPECT_EQ(FormatTwoDecimals(3.375), "3.38");
    EXPECT_EQ(FormatTwoDecimals(0.125), "0.12");
    EXPECT_EQ(FormatTwoDecimals(4.0), "4.00");
    EXPECT_EQ(FormatTwoDecimals(25.0 / 7), "3.57");
    EXPECT_EQ(FormatTwoDecimals(1.005), "1.00"); // the double lies below 1.005
    EXPECT_EQ(FormatTwoDecimals(2.675000001), "2.68");
}

TEST(SummarizeRecords, SumsEverySemesterAndCumulates) {
    const RecordTableArray table = MakeTable({{"Semester 1\n", "Maths\n", Cr(4), A},
                                              {"Semester 2\n", "Art\n", Cr(3), B},
                                              {"Elsewhere\n", "Noise\n", Cr(4), D}});
    for (int s : {0, 1}) {
        SemesterTotalsData totals{};
        totals.Credits[5] = 99; // stale sums are cleared
        SummarizeRecords(table, totals, s);
        EXPECT_EQ(totals.Credits[0], 4);
        EXPECT_EQ(totals.Points[0], 16.0);
        EXPECT_EQ(totals.Credits[1], 3);
        EXPECT_EQ(totals.Points[1], 9.0);
        EXPECT_EQ(totals.Credits[5], 0);
        EXPECT_EQ(ComputeCumulative(totals), "3.57");
        EXPECT_EQ(totals.TotalCredits, 7);
        EXPECT_EQ(totals.TotalPoints, 25.0);
    }
    SemesterTotalsData totals{};
    SummarizeRecords(table, totals, 0);
    GpaResult first = SemesterGpa(totals, 0);
    EXPECT_EQ(first.Text, "4.00");
    EXPECT_EQ(first.Verdict, GpaVerdict::Good);
}

TEST(SummarizeRecords, FirstSevenRowsOfTheSemesterInTableOrder) {
    RecordTableArray table{};
    ResetRecordTable(table);
    for (int i = 0; i < 12; ++i) {
        const bool mine = i % 4 != 1; // nine entries of semester 3, three of semester 4
        std::memcpy(table[static_cast<std::size_t>(i)].Label,
                    mine ? "Semester 3\n" : "Semester 4\n", sizeof "Semester 3\n");
        (void)std::snprintf(table[static_cast<std::size_t>(i)].Subject, SubjectSize, "Subject %d\n",
                            i);
        table[static_cast<std::size_t>(i)].CreditIndex = i % 4;
        table[static_cast<std::size_t>(i)].GradeIndex = i % 10;
    }
    SemesterTotalsData totals{};
    const SummarySlots slots = SummarizeRecords(table, totals, 2);
    const int shown[] = {0, 2, 3, 4, 6, 7, 8};
    for (int slot = 0; slot < SummarySlotCount; ++slot) {
        SCOPED_TRACE(slot);
        const int i = shown[slot];
        ASSERT_TRUE(slots.Slots[static_cast<std::size_t>(slot)].has_value());
        const SummaryRow& row = *slots.Slots[static_cast<std::size_t>(slot)];
        EXPECT_EQ(std::string(row.Subject), "Subject " + std::to_string(i) + "\n");
        EXPECT_EQ(std::string(row.Credits), std::to_string(i % 4 + 1));
        EXPECT_STREQ(row.Grade, GradeLetter(i % 10));
    }
    // All nine count in the sums: credits (i % 4) + 1 over i = 0,2,3,4,6,7,8,10,11.
    EXPECT_EQ(totals.Credits[2], 1 + 3 + 4 + 1 + 3 + 4 + 1 + 3 + 4);
    EXPECT_EQ(totals.Credits[3], 2 + 2 + 2);
    EXPECT_EQ(slots.PassedOver, 0);
}

TEST(SummarizeRecords, EmptySubjectUsesUpItsSlotButALineFeedShows) {
    const RecordTableArray table = MakeTable({{"Semester 1\n", "", Cr(2), A},
                                              {"Semester 1\n", "\n", Cr(3), B},
                                              {"Semester 1\n", "Last\n", Cr(1), D}});
    SemesterTotalsData totals{};
    const SummarySlots slots = SummarizeRecords(table, totals, 0);
    EXPECT_FALSE(slots.Slots[0].has_value());
    ASSERT_TRUE(slots.Slots[1].has_value());
    EXPECT_STREQ(slots.Slots[1]->Subject, "\n");
    EXPECT_STREQ(slots.Slots[1]->Credits, "3");
    EXPECT_STREQ(slots.Slots[1]->Grade, "B");
    ASSERT_TRUE(slots.Slots[2].has_value());
    EXPECT_STREQ(slots.Slots[2]->Subject, "Last\n");
    EXPECT_FALSE(slots.Slots[3].has_value());
    EXPECT_EQ(totals.Credits[0], 6);
    EXPECT_EQ(totals.Points[0], 8.0 + 9.0 + 1.0);
}

TEST(SummarizeRecords, DamagedRecordsArePassedOverAndCounted) {
    const RecordTableArray table = MakeTable({{"Semester 1\n", "Bad credit\n", 4, A},
                                              {"Semester 1\n", "Bad grade\n", Cr(1), 10},
                                              {"Semester 1\n", "Cut\n", UnsetIndex, UnsetIndex},
                                              {"Semester 2\n", "Negative\n", -1, -5},
                                              {"Semester 1\n", "Good\n", Cr(2), C},
                                              {"No semester\n", "Ignored\n", 77, 77}});
    SemesterTotalsData totals{};
    const SummarySlots slots = SummarizeRecords(table, totals, 0);
    EXPECT_EQ(slots.PassedOver, 4);
    ASSERT_TRUE(slots.Slots[0].has_value());
    EXPECT_STREQ(slots.Slots[0]->Subject, "Good\n");
    EXPECT_FALSE(slots.Slots[1].has_value());
    EXPECT_EQ(totals.Credits[0], 2);
    EXPECT_EQ(totals.Points[0], 4.0);
    EXPECT_EQ(totals.Credits[1], 0);
    EXPECT_EQ(ComputeCumulative(totals), "2.00");
}

TEST(SummarizeRecords, EmptyTableGivesNothingAnywhere) {
    RecordTableArray table{};
    ResetRecordTable(table);
    SemesterTotalsData totals{};
    const SummarySlots slots = SummarizeRecords(table, totals, 0);
    for (const auto& slot : slots.Slots) {
        EXPECT_FALSE(slot.has_value());
    }
    EXPECT_EQ(SemesterGpa(totals, 0).Verdict, GpaVerdict::NoCredits);
    EXPECT_EQ(ComputeCumulative(totals), "");
    EXPECT_EQ(totals.TotalCredits, 0);
    EXPECT_EQ(totals.TotalPoints, 0.0);
}

TEST(ComputeCumulative, SumsInExtendedPrecisionAndRoundsOnce) {
    SemesterTotalsData totals{};
    const double half = std::ldexp(1.0, -53); // half an ulp of 1.0
    totals.Credits[0] = 1;
    totals.Points[0] = 1.0;
    totals.Points[1] = half;
    totals.Points[2] = half;
    ComputeCumulative(totals);
    // In double, each half would vanish; together they make one ulp.
    EXPECT_EQ(totals.TotalPoints, 1.0 + 2 * half);
}

TEST(ProgramWideState, LoadAndSummaryWorkOnTheSharedTableAndTotals) {
    TemporaryFile file;
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), true, "Semester 2", "Physics", 2, 1));
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 5", "Law", 1, 0));
    const LoadReport report = LoadRecordTable(file.Path().c_str());
    EXPECT_EQ(report.RecordsRead, 2);
    const SummarySlots slots = SummarizeRecords(1);
    ASSERT_TRUE(slots.Slots[0].has_value());
    EXPECT_STREQ(slots.Slots[0]->Subject, "Physics\n");
    EXPECT_STREQ(slots.Slots[0]->Credits, "3");
    EXPECT_STREQ(slots.Slots[0]->Grade, "A-");
    EXPECT_EQ(SemesterTotals.Credits[4], 2);
    const GpaResult gpa = SemesterGpa(1);
    EXPECT_EQ(gpa.Text, "3.70");
    EXPECT_EQ(gpa.Verdict, GpaVerdict::Good);
    EXPECT_EQ(ComputeCumulative(), "3.82");
    EXPECT_EQ(SemesterTotals.TotalCredits, 5);
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
