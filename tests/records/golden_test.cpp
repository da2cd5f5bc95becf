// The golden result files: raw bytes on disk, loaded through the file and summarised.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "result_file.h"
#include "summary.h"
#include "test_support.h"

namespace {

struct Loaded {
    RecordTableArray Table{};
    LoadReport Report;
};

Loaded LoadGolden(const char* name) {
    Loaded loaded;
    loaded.Report = LoadRecordTable(GoldenPath(name).c_str(), loaded.Table);
    EXPECT_TRUE(loaded.Report.Opened) << name;
    return loaded;
}

void ExpectRecord(const SubjectRecord& record, const char* label, const char* subject,
                  int creditIndex, int gradeIndex) {
    EXPECT_STREQ(record.Label, label);
    EXPECT_STREQ(record.Subject, subject);
    EXPECT_EQ(record.CreditIndex, creditIndex);
    EXPECT_EQ(record.GradeIndex, gradeIndex);
}

void ExpectRow(const SummarySlots& slots, int slot, const char* subject, const char* credits,
               const char* grade) {
    const auto& row = slots.Slots[static_cast<std::size_t>(slot - 1)];
    ASSERT_TRUE(row.has_value()) << "slot " << slot;
    EXPECT_STREQ(row->Subject, subject);
    EXPECT_STREQ(row->Credits, credits);
    EXPECT_STREQ(row->Grade, grade);
}

void ExpectBlankFrom(const SummarySlots& slots, int firstSlot) {
    for (int slot = firstSlot; slot <= SummarySlotCount; ++slot) {
        EXPECT_FALSE(slots.Slots[static_cast<std::size_t>(slot - 1)].has_value())
            << "slot " << slot;
    }
}

void ExpectGpa(const SemesterTotalsData& totals, int s, const char* text, GpaVerdict verdict) {
    const GpaResult gpa = SemesterGpa(totals, s);
    EXPECT_EQ(gpa.Text, text) << "semester index " << s;
    EXPECT_EQ(gpa.Verdict, verdict) << "semester index " << s;
}

TEST(GoldenFiles, ProgramWrittenFileLoadsAndSummarises) {
    const Loaded file = LoadGolden("program_written_crlf.rst");
    EXPECT_EQ(file.Report.RecordsRead, 10);
    EXPECT_FALSE(file.Report.MoreThanCapacity);
    ExpectRecord(file.Table[0], "Semester 1\n", "Calculus I\n", 3, 0);
    ExpectRecord(file.Table[3], "Semester 1\n",
                 "Fran\xe7"
                 "ais\n",
                 0, 6);
    ExpectRecord(file.Table[7], "Semester 3\n", "\n", 1, 9);
    ExpectRecord(file.Table[9], "Semester 8\n", "Thesis\n", 3, 0);
    ExpectRecord(file.Table[10], "", "", UnsetIndex, UnsetIndex);

    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    ExpectRow(first, 1, "Calculus I\n", "4", "A");
    ExpectRow(first, 2, "Physics I\n", "1", "B");
    ExpectRow(first, 3, "Chemistry\n", "2", "C");
    ExpectRow(first, 4,
              "Fran\xe7"
              "ais\n",
              "1", "C");
    ExpectBlankFrom(first, 5);
    ExpectGpa(totals, 0, "3.12", GpaVerdict::Bad); // 25 points over 8 credits
    ExpectGpa(totals, 1, "3.70", GpaVerdict::Good);
    ExpectGpa(totals, 2, "1.90", GpaVerdict::Bad);
    ExpectGpa(totals, 3, "3.30", GpaVerdict::Bad);
    ExpectGpa(totals, 4, "", GpaVerdict::NoCredits);
    ExpectGpa(totals, 7, "4.00", GpaVerdict::Good);
    EXPECT_EQ(ComputeCumulative(totals), "3.30");
    EXPECT_EQ(totals.TotalCredits, 25);

    // The empty subject reads back as a lone line feed: its row shows beside a blank name.
    const SummarySlots third = SummarizeRecords(file.Table, totals, 2);
    ExpectRow(third, 1, "Ethics\n", "1", "A-");
    ExpectRow(third, 2, "\n", "2", "D");
    ExpectBlankFrom(third, 3);
}

TEST(GoldenFiles, LineFeedOnlyFileLoadsToTheSameTable) {
    const Loaded crlf = LoadGolden("program_written_crlf.rst");
    const Loaded lf = LoadGolden("program_written_lf.rst");
    ExpectSameTable(crlf.Table, lf.Table);
    EXPECT_EQ(lf.Report.RecordsRead, 10);
}

TEST(GoldenFiles, OverLongLinesReadOutOfStep) {
    const Loaded file = LoadGolden("overlong_lines.rst");
    ExpectRecord(file.Table[0], "Semester 1 (ex", "tra long)\n", UnsetIndex, UnsetIndex);
    ExpectRecord(file.Table[1], "Geography\n", "1\n", 2, UnsetIndex);
    ExpectRecord(file.Table[2], "Semester 2\n", "Comparative Literature and World Cinema: Theory &",
                 UnsetIndex, UnsetIndex);
    // The number read skipped the space after the 49th character before failing on text.
    ExpectRecord(file.Table[3], "Practice!x\n", "2\n", 0, UnsetIndex);
    ExpectRecord(file.Table[4], "Semester 2\n", "Music\n", 0, 5);
    ExpectRecord(file.Table[5], "", "", UnsetIndex, UnsetIndex);

    SemesterTotalsData totals{};
    const SummarySlots second = SummarizeRecords(file.Table, totals, 1);
    EXPECT_EQ(second.PassedOver, 2);
    ExpectRow(second, 1, "Music\n", "1", "C+");
    ExpectBlankFrom(second, 2);
    ExpectGpa(totals, 1, "2.30", GpaVerdict::Bad);
    ExpectGpa(totals, 0, "", GpaVerdict::NoCredits);
}

TEST(GoldenFiles, FileCutInsideARecord) {
    const Loaded file = LoadGolden("cut_mid_record.rst");
    EXPECT_EQ(file.Report.RecordsRead, 2);
    ExpectRecord(file.Table[1], "Semester 1\n", "History", UnsetIndex, UnsetIndex);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    EXPECT_EQ(first.PassedOver, 1);
    ExpectRow(first, 1, "Algebra\n", "4", "A");
    ExpectBlankFrom(first, 2);
    ExpectGpa(totals, 0, "4.00", GpaVerdict::Good);
}

TEST(GoldenFiles, NulBytesEndTexts) {
    const Loaded file = LoadGolden("nul_bytes.rst");
    ExpectRecord(file.Table[0], "Semester 1\n", "Bio", 2, 3);
    ExpectRecord(file.Table[1], "Seme", "Art\n", 1, 0);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    EXPECT_EQ(first.PassedOver, 0);
    ExpectRow(first, 1, "Bio", "3", "B");
    ExpectGpa(totals, 0, "3.00", GpaVerdict::Bad);
    EXPECT_EQ(ComputeCumulative(totals), "3.00");
}

TEST(GoldenFiles, SignWithoutDigitsLeavesItsLineEnd) {
    const Loaded file = LoadGolden("sign_without_digits.rst");
    ExpectRecord(file.Table[0], "Semester 1\n", "A\n", 1, UnsetIndex);
    ExpectRecord(file.Table[1], "\n", "Semester 2\n", UnsetIndex, UnsetIndex);
    ExpectRecord(file.Table[2], "B\n", "2\n", 3, UnsetIndex);
    SemesterTotalsData totals{};
    EXPECT_EQ(SummarizeRecords(file.Table, totals, 0).PassedOver, 1);
    EXPECT_EQ(ComputeCumulative(totals), "");
}

TEST(GoldenFiles, NumbersBeyondThirtyTwoBitsAreOutOfRange) {
    const Loaded file = LoadGolden("beyond_32_bits.rst");
    ExpectRecord(file.Table[0], "Semester 1\n", "Big\n", INT32_MAX, 0);
    ExpectRecord(file.Table[1], "Semester 1\n", "Neg\n", INT32_MIN, 1);
    ExpectRecord(file.Table[2], "Semester 1\n", "Ok\n", 2, 6);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    EXPECT_EQ(first.PassedOver, 2);
    ExpectRow(first, 1, "Ok\n", "3", "C");
    ExpectGpa(totals, 0, "2.00", GpaVerdict::Bad);
}

TEST(GoldenFiles, MoreThanHundredRecordsStopsAtTheHundredth) {
    const Loaded file = LoadGolden("over_100_records.rst");
    EXPECT_TRUE(file.Report.MoreThanCapacity);
    EXPECT_EQ(file.Report.RecordsRead, 100);
    ExpectRecord(file.Table[99], "Semester 4\n", "Course 99\n", 3, 9);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    // Courses 0, 8, .., 96 of one credit each; course 104 lies beyond the table.
    EXPECT_EQ(totals.Credits[0], 13);
    ExpectRow(first, 1, "Course 0\n", "1", "A");
    ExpectRow(first, 2, "Course 8\n", "1", "D+");
    ExpectRow(first, 7, "Course 48\n", "1", "D+");
    ExpectGpa(totals, 0, "2.61", GpaVerdict::Bad); // 33.9 over 13
    ComputeCumulative(totals);
    EXPECT_EQ(totals.TotalCredits, 250);
}

TEST(GoldenFiles, BlankLinesBetweenRecordsAndFieldsAreSwallowed) {
    const Loaded file = LoadGolden("blank_lines_between.rst");
    EXPECT_EQ(file.Report.RecordsRead, 2);
    ExpectRecord(file.Table[0], "Semester 5\n", "Optics\n", 1, 4);
    ExpectRecord(file.Table[1], "Semester 5\n", "Lasers\n", 2, 7);
    SemesterTotalsData totals{};
    SummarizeRecords(file.Table, totals, 4);
    ExpectGpa(totals, 4, "2.10", GpaVerdict::Bad);
}

TEST(GoldenFiles, SubjectOfFortyNineCharacters) {
    const Loaded file = LoadGolden("subject_49.rst");
    ExpectRecord(file.Table[0], "Semester 6\n", "Introduction to Numerical Methods for Engineers I",
                 3, 2);
    ExpectRecord(file.Table[1], "Semester 6\n",
                 "Introduction to Numerical Methods for Engineers!\n", 0, 0);
    SemesterTotalsData totals{};
    SummarizeRecords(file.Table, totals, 5);
    ExpectGpa(totals, 5, "3.44", GpaVerdict::Bad);
}

TEST(GoldenFiles, EmptyFile) {
    const Loaded file = LoadGolden("empty.rst");
    EXPECT_EQ(file.Report.RecordsRead, 0);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(file.Table, totals, 0);
    ExpectBlankFrom(first, 1);
    ExpectGpa(totals, 0, "", GpaVerdict::NoCredits);
    EXPECT_EQ(ComputeCumulative(totals), "");
}

TEST(GoldenFiles, LoneCarriageReturns) {
    const Loaded file = LoadGolden("lone_cr.rst");
    ExpectRecord(file.Table[0], "Semester 7\rX\n", "Old\rMac\n", 1, 2);
    SemesterTotalsData totals{};
    SummarizeRecords(file.Table, totals, 6);
    ExpectGpa(totals, 6, "3.30", GpaVerdict::Bad);
}

TEST(GoldenFiles, DamagedIndicesTakeNoSlot) {
    const Loaded file = LoadGolden("damaged_indices.rst");
    SemesterTotalsData totals{};
    const SummarySlots fourth = SummarizeRecords(file.Table, totals, 3);
    EXPECT_EQ(fourth.PassedOver, 3);
    ExpectRow(fourth, 1, "Fine\n", "2", "D");
    ExpectBlankFrom(fourth, 2);
    ExpectGpa(totals, 3, "1.00", GpaVerdict::Bad);
    EXPECT_EQ(ComputeCumulative(totals), "1.00");
}

} // namespace
