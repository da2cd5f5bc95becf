// The golden result files: raw bytes on disk, loaded through the file and summarised.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "result_file.h"
#include "summary.h"
#include "test_support.h"

namespace {

constexpr int Unset = UnsetIndex;
const std::string Subject49 = "Introduction to Numerical Methods for Engineers I";
const std::string Subject48 = "Introduction to Numerical Methods for Engineers!";

struct Rec {
    std::string Label, Subject;
    int Credit, Grade;
};
struct Row {
    std::string Subject, Credits, Grade;
};
struct GoldenCase {
    const char* File;
    std::vector<Rec> Records; // the leading entries; every later entry stays empty
    int Semester;             // the semester summarised
    std::vector<Row> Rows;    // its first slots; the others are blank
    const char* Gpa;
    GpaVerdict Verdict;
    const char* Cgpa;
    int PassedOver;
};

const std::vector<Rec> ProgramWritten = {{"Semester 1\n", "Calculus I\n", 3, 0},
                                         {"Semester 1\n", "Physics I\n", 0, 3},
                                         {"Semester 1\n", "Chemistry\n", 1, 6},
                                         {"Semester 1\n",
                                          "Fran\xe7"
                                          "ais\n",
                                          0, 6},
                                         {"Semester 2\n", "Linear Algebra\n", 2, 1},
                                         {"Semester 2\n", "Programming\n", 3, 1},
                                         {"Semester 3\n", "Ethics\n", 0, 1},
                                         {"Semester 3\n", "\n", 1, 9},
                                         {"Semester 4\n", "Statistics\n", 2, 2},
                                         {"Semester 8\n", "Thesis\n", 3, 0}};

const std::vector<GoldenCase> Cases = {
    {"program_written_crlf.rst",
     ProgramWritten,
     0,
     {{"Calculus I\n", "4", "A"},
      {"Physics I\n", "1", "B"},
      {"Chemistry\n", "2", "C"},
      {"Fran\xe7"
       "ais\n",
       "1", "C"}},
     "3.12",
     GpaVerdict::Bad,
     "3.30",
     0},
    // LF only reads the same; the empty subject reads back as a lone line feed and shows.
    {"program_written_lf.rst",
     ProgramWritten,
     2,
     {{"Ethics\n", "1", "A-"}, {"\n", "2", "D"}},
     "1.90",
     GpaVerdict::Bad,
     "3.30",
     0},
    // Over-long lines put what follows out of step; the number read skips the space after
    // the 49th character of the long subject before failing on text.
    {"overlong_lines.rst",
     {{"Semester 1 (ex", "tra long)\n", Unset, Unset},
      {"Geography\n", "1\n", 2, Unset},
      {"Semester 2\n", "Comparative Literature and World Cinema: Theory &", Unset, Unset},
      {"Practice!x\n", "2\n", 0, Unset},
      {"Semester 2\n", "Music\n", 0, 5}},
     1,
     {{"Music\n", "1", "C+"}},
     "2.30",
     GpaVerdict::Bad,
     "2.30",
     2},
    {"cut_mid_record.rst",
     {{"Semester 1\n", "Algebra\n", 3, 0}, {"Semester 1\n", "History", Unset, Unset}},
     0,
     {{"Algebra\n", "4", "A"}},
     "4.00",
     GpaVerdict::Good,
     "4.00",
     1},
    {"nul_bytes.rst",
     {{"Semester 1\n", "Bio", 2, 3}, {"Seme", "Art\n", 1, 0}},
     0,
     {{"Bio", "3", "B"}},
     "3.00",
     GpaVerdict::Bad,
     "3.00",
     0},
    // The line end after a lone sign stays unread and becomes the next label.
    {"sign_without_digits.rst",
     {{"Semester 1\n", "A\n", 1, Unset},
      {"\n", "Semester 2\n", Unset, Unset},
      {"B\n", "2\n", 3, Unset}},
     0,
     {},
     "",
     GpaVerdict::NoCredits,
     "",
     1},
    {"beyond_32_bits.rst",
     {{"Semester 1\n", "Big\n", INT32_MAX, 0},
      {"Semester 1\n", "Neg\n", INT32_MIN, 1},
      {"Semester 1\n", "Ok\n", 2, 6}},
     0,
     {{"Ok\n", "3", "C"}},
     "2.00",
     GpaVerdict::Bad,
     "2.00",
     2},
    {"blank_lines_between.rst",
     {{"Semester 5\n", "Optics\n", 1, 4}, {"Semester 5\n", "Lasers\n", 2, 7}},
     4,
     {{"Optics\n", "2", "B-"}, {"Lasers\n", "3", "C-"}},
     "2.10",
     GpaVerdict::Bad,
     "2.10",
     0},
    {"subject_49.rst",
     {{"Semester 6\n", Subject49, 3, 2}, {"Semester 6\n", Subject48 + "\n", 0, 0}},
     5,
     {{Subject49, "4", "B+"}, {Subject48 + "\n", "1", "A"}},
     "3.44",
     GpaVerdict::Bad,
     "3.44",
     0},
    {"empty.rst", {}, 0, {}, "", GpaVerdict::NoCredits, "", 0},
    {"lone_cr.rst",
     {{"Semester 7\rX\n", "Old\rMac\n", 1, 2}},
     6,
     {{"Old\rMac\n", "2", "B+"}},
     "3.30",
     GpaVerdict::Bad,
     "3.30",
     0},
    // Damaged records take no slot and count nowhere.
    {"damaged_indices.rst",
     {{"Semester 4\n", "Overflow\n", 4, 0},
      {"Semester 4\n", "Negative\n", -1, 3},
      {"Semester 4\n", "Grade\n", 1, 10},
      {"Semester 4\n", "Fine\n", 1, 9},
      {"Term 4\n", "Other\n", 1, 1}},
     3,
     {{"Fine\n", "2", "D"}},
     "1.00",
     GpaVerdict::Bad,
     "1.00",
     3},
};

TEST(GoldenFiles, LoadAndSummariseAsExpected) {
    for (const GoldenCase& golden : Cases) {
        SCOPED_TRACE(golden.File);
        RecordTableArray table{};
        const LoadReport report = LoadRecordTable(GoldenPath(golden.File).c_str(), table);
        EXPECT_TRUE(report.Opened);
        EXPECT_FALSE(report.MoreThanCapacity);
        EXPECT_EQ(report.RecordsRead, static_cast<int>(golden.Records.size()));
        for (std::size_t i = 0; i < golden.Records.size(); ++i) {
            const Rec& want = golden.Records[i];
            ExpectRecord(table[i], want.Label.c_str(), want.Subject.c_str(), want.Credit,
                         want.Grade);
        }
        ExpectEmptyFrom(table, golden.Records.size());

        SemesterTotalsData totals{};
        const SummarySlots slots = SummarizeRecords(table, totals, golden.Semester);
        for (std::size_t slot = 0; slot < slots.Slots.size(); ++slot) {
            if (slot >= golden.Rows.size()) {
                EXPECT_FALSE(slots.Slots[slot].has_value()) << "slot " << slot + 1;
                continue;
            }
            ASSERT_TRUE(slots.Slots[slot].has_value()) << "slot " << slot + 1;
            EXPECT_EQ(slots.Slots[slot]->Subject, golden.Rows[slot].Subject);
            EXPECT_EQ(slots.Slots[slot]->Credits, golden.Rows[slot].Credits);
            EXPECT_EQ(slots.Slots[slot]->Grade, golden.Rows[slot].Grade);
        }
        EXPECT_EQ(slots.PassedOver, golden.PassedOver);
        const GpaResult gpa = SemesterGpa(totals, golden.Semester);
        EXPECT_EQ(gpa.Text, golden.Gpa);
        EXPECT_EQ(gpa.Verdict, golden.Verdict);
        EXPECT_EQ(ComputeCumulative(totals), golden.Cgpa);
    }
}

TEST(GoldenFiles, MoreThanHundredRecordsStopsAtTheHundredth) {
    RecordTableArray table{};
    const LoadReport report = LoadRecordTable(GoldenPath("over_100_records.rst").c_str(), table);
    EXPECT_TRUE(report.MoreThanCapacity);
    EXPECT_EQ(report.RecordsRead, 100);
    ExpectRecord(table[99], "Semester 4\n", "Course 99\n", 3, 9);
    SemesterTotalsData totals{};
    const SummarySlots first = SummarizeRecords(table, totals, 0);
    // Courses 0, 8, .., 96 of one credit each; course 104 lies beyond the table.
    EXPECT_EQ(totals.Credits[0], 13);
    ASSERT_TRUE(first.Slots[6].has_value());
    EXPECT_STREQ(first.Slots[6]->Subject, "Course 48\n");
    EXPECT_EQ(SemesterGpa(totals, 0).Text, "2.61"); // 33.9 over 13
    ComputeCumulative(totals);
    EXPECT_EQ(totals.TotalCredits, 250);
}

} // namespace
