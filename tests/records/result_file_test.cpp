// Reading and writing the result file: the text rules, the field limits, the number reads and
// the decided behaviour for damaged or over-full files.
#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "result_file.h"
#include "test_support.h"

namespace {

void ExpectRecord(const SubjectRecord& record, const char* label, const char* subject,
                  int creditIndex, int gradeIndex) {
    EXPECT_STREQ(record.Label, label);
    EXPECT_STREQ(record.Subject, subject);
    EXPECT_EQ(record.CreditIndex, creditIndex);
    EXPECT_EQ(record.GradeIndex, gradeIndex);
}

void ExpectEmptyFrom(const RecordTableArray& table, std::size_t first) {
    for (std::size_t i = first; i < table.size(); ++i) {
        SCOPED_TRACE(i);
        ExpectRecord(table[i], "", "", UnsetIndex, UnsetIndex);
    }
}

RecordTableArray Load(std::string_view bytes, LoadReport* report = nullptr) {
    RecordTableArray table{};
    const LoadReport got = LoadRecordBytes(bytes, table);
    if (report != nullptr) {
        *report = got;
    }
    return table;
}

TEST(FormatRecord, EveryLineEndsInCarriageReturnLineFeed) {
    EXPECT_EQ(FormatRecord("Semester 2", "Physics", 3, 1), "Semester 2\r\nPhysics\r\n3\r\n1\r\n");
    EXPECT_EQ(FormatRecord("Semester 8", "", 0, 9), "Semester 8\r\n\r\n0\r\n9\r\n");
}

TEST(LoadRecordBytes, ReadsWhatTheProgramWroteKeepingLineFeeds) {
    LoadReport report;
    const RecordTableArray table =
        Load(FormatRecord("Semester 2", "Physics", 3, 1) + FormatRecord("Semester 1", "", 0, 9),
             &report);
    ExpectRecord(table[0], "Semester 2\n", "Physics\n", 3, 1);
    ExpectRecord(table[1], "Semester 1\n", "\n", 0, 9);
    ExpectEmptyFrom(table, 2);
    EXPECT_TRUE(report.Opened);
    EXPECT_EQ(report.RecordsRead, 2);
    EXPECT_FALSE(report.MoreThanCapacity);
    EXPECT_FALSE(report.ReadError);
}

TEST(LoadRecordBytes, LineFeedOnlyAndCarriageReturnLineFeedLoadAlike) {
    const RecordTableArray crlf = Load("Semester 3\r\nArt\r\n2\r\n4\r\n");
    const RecordTableArray lf = Load("Semester 3\nArt\n2\n4\n");
    ExpectRecord(crlf[0], "Semester 3\n", "Art\n", 2, 4);
    ExpectRecord(lf[0], "Semester 3\n", "Art\n", 2, 4);
}

TEST(LoadRecordBytes, LoneCarriageReturnStaysACharacter) {
    const RecordTableArray table = Load("Sem\rX\r\nA\r\rB\r\n1\r0\r\n");
    ExpectRecord(table[0], "Sem\rX\n", "A\r\rB\n", 1, 0);
}

TEST(LoadRecordBytes, EmptyInputLeavesEveryEntryEmpty) {
    LoadReport report;
    const RecordTableArray table = Load("", &report);
    ExpectEmptyFrom(table, 0);
    EXPECT_TRUE(report.Opened);
    EXPECT_EQ(report.RecordsRead, 0);
}

TEST(LoadRecordBytes, FileCutInsideARecordKeepsWhatWasRead) {
    ExpectRecord(Load("Semester 1\r\nMath")[0], "Semester 1\n", "Math", UnsetIndex, UnsetIndex);
    ExpectRecord(Load("Semester 1\r\n")[0], "Semester 1\n", "", UnsetIndex, UnsetIndex);
    ExpectRecord(Load("Semester 1\r\nMath\r\n2")[0], "Semester 1\n", "Math\n", 2, UnsetIndex);
    const RecordTableArray table = Load(FormatRecord("Semester 1", "A", 0, 0) + "Semes");
    ExpectRecord(table[1], "Semes", "", UnsetIndex, UnsetIndex);
    ExpectEmptyFrom(table, 2);
}

TEST(LoadRecordBytes, SubjectOfFortyNineCharactersLosesOnlyItsLineFeed) {
    const std::string subject49(49, 's');
    const std::string subject48(48, 't');
    const RecordTableArray table = Load(FormatRecord("Semester 1", subject49.c_str(), 1, 2) +
                                        FormatRecord("Semester 1", subject48.c_str(), 3, 4));
    ExpectRecord(table[0], "Semester 1\n", subject49.c_str(), 1, 2);
    ExpectRecord(table[1], "Semester 1\n", (subject48 + "\n").c_str(), 3, 4);
    ExpectEmptyFrom(table, 2);
}

TEST(LoadRecordBytes, OverLongLabelPutsTheFollowingLinesOutOfStep) {
    const RecordTableArray table = Load("Semester 1 extra\r\nMath\r\n2\r\n0\r\n");
    ExpectRecord(table[0], "Semester 1 ext", "ra\n", UnsetIndex, UnsetIndex);
    ExpectRecord(table[1], "Math\n", "2\n", 0, UnsetIndex);
    ExpectEmptyFrom(table, 2);
}

TEST(LoadRecordBytes, SignWithoutDigitsIsConsumedAndSkipsNoWhiteSpace) {
    // The line feed after the lone '-' stays unread, so the next label reads as an empty line.
    const RecordTableArray table = Load("Semester 1\nA\n1\n-\nSemester 2\nB\n2\n3\n");
    ExpectRecord(table[0], "Semester 1\n", "A\n", 1, UnsetIndex);
    ExpectRecord(table[1], "\n", "Semester 2\n", UnsetIndex, UnsetIndex);
    ExpectRecord(table[2], "B\n", "2\n", 3, UnsetIndex);
    ExpectEmptyFrom(table, 3);
    // A sign followed by a digit on the next line is no number either.
    ExpectRecord(Load("L\nS\n+\n2\n")[0], "L\n", "S\n", UnsetIndex, 2);
}

TEST(LoadRecordBytes, SignedNumbersAndTextAfterDigits) {
    ExpectRecord(Load("L\nS\n-3\n+7\n")[0], "L\n", "S\n", -3, 7);
    // Text after the digits is left for the next read.
    const RecordTableArray table = Load("L\nS\n2abc\n1\n");
    ExpectRecord(table[0], "L\n", "S\n", 2, UnsetIndex);
    ExpectRecord(table[1], "abc\n", "1\n", UnsetIndex, UnsetIndex);
}

TEST(LoadRecordBytes, NumbersBeyondThirtyTwoBitsSaturate) {
    ExpectRecord(Load("L\nS\n99999999999999999999\n-99999999999\n")[0], "L\n", "S\n", INT_MAX,
                 INT_MIN);
    ExpectRecord(Load("L\nS\n2147483647\n-2147483648\n")[0], "L\n", "S\n", INT_MAX, INT_MIN);
    ExpectRecord(Load("L\nS\n2147483648\n-2147483649\n")[0], "L\n", "S\n", INT_MAX, INT_MIN);
    ExpectRecord(Load("L\nS\n0000000000000000000003\n-0\n")[0], "L\n", "S\n", 3, 0);
}

TEST(LoadRecordBytes, WhiteSpaceBetweenRecordsIsSwallowedButNotBeforeTheFirst) {
    const RecordTableArray table =
        Load("Semester 1\r\nA\r\n0\r\n0\r\n\r\n\r\n \t \r\n  Semester 2\r\nB\r\n1\r\n1\r\n");
    ExpectRecord(table[0], "Semester 1\n", "A\n", 0, 0);
    ExpectRecord(table[1], "Semester 2\n", "B\n", 1, 1);
    ExpectEmptyFrom(table, 2);
    ExpectRecord(Load("\r\nSemester 1\r\nA\r\n0\r\n")[0], "\n", "Semester 1\n", UnsetIndex,
                 UnsetIndex);
}

TEST(LoadRecordBytes, NulByteEndsTheTextButNotTheLine) {
    using namespace std::string_literals;
    const RecordTableArray table = Load("Seme\0ster 1\nPhys\0ics\n0\n1\nSemester 2\n"s);
    EXPECT_STREQ(table[0].Label, "Seme");
    EXPECT_STREQ(table[0].Subject, "Phys");
    EXPECT_EQ(table[0].CreditIndex, 0);
    EXPECT_EQ(table[0].GradeIndex, 1);
    EXPECT_STREQ(table[1].Label, "Semester 2\n");
    // A NUL where a number belongs stores nothing and is read by the next text field.
    const RecordTableArray stuck = Load("L\nS\n\0\n3\n"s);
    ExpectRecord(stuck[0], "L\n", "S\n", UnsetIndex, UnsetIndex);
    ExpectRecord(stuck[1], "", "3\n", UnsetIndex, UnsetIndex);
}

std::string NumberedSubject(int i) {
    std::string name("S");
    name.append(std::to_string(i));
    return name;
}

std::string Records(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) {
        bytes += FormatRecord("Semester 1", NumberedSubject(i).c_str(), i % 4, i % 10);
    }
    return bytes;
}

TEST(LoadRecordBytes, HundredRecordsFillTheTableExactly) {
    LoadReport report;
    const RecordTableArray table = Load(Records(100), &report);
    EXPECT_EQ(report.RecordsRead, 100);
    EXPECT_FALSE(report.MoreThanCapacity);
    ExpectRecord(table[99], "Semester 1\n", "S99\n", 3, 9);
}

TEST(LoadRecordBytes, MoreThanHundredRecordsLoadsTheFirstHundredAndSaysSo) {
    LoadReport report;
    const RecordTableArray table = Load(Records(250), &report);
    EXPECT_EQ(report.RecordsRead, 100);
    EXPECT_TRUE(report.MoreThanCapacity);
    ExpectRecord(table[0], "Semester 1\n", "S0\n", 0, 0);
    ExpectRecord(table[99], "Semester 1\n", "S99\n", 3, 9);
}

TEST(LoadRecordBytes, SplitRecordPushesTheHundredthOut) {
    std::string bytes = Records(5);
    bytes += FormatRecord("Semester 1", std::string(60, 'x').c_str(), 1, 2);
    for (int i = 6; i < 100; ++i) {
        bytes += FormatRecord("Semester 1", NumberedSubject(i).c_str(), i % 4, i % 10);
    }
    LoadReport report;
    const RecordTableArray table = Load(bytes, &report);
    EXPECT_TRUE(report.MoreThanCapacity);
    ExpectRecord(table[5], "Semester 1\n", std::string(49, 'x').c_str(), UnsetIndex, UnsetIndex);
    ExpectRecord(table[6], "xxxxxxxxxxx\n", "1\n", 2, UnsetIndex);
    ExpectRecord(table[7], "Semester 1\n", "S6\n", 2, 6);
    ExpectRecord(table[99], "Semester 1\n", "S98\n", 2, 8);
}

TEST(LoadRecordTable, MissingFileLeavesTheTableEmpty) {
    RecordTableArray table{};
    LoadRecordBytes(Records(3), table);
    const LoadReport report = LoadRecordTable("no-such-folder/no-such-file.rst", table);
    EXPECT_FALSE(report.Opened);
    EXPECT_EQ(report.RecordsRead, 0);
    ExpectEmptyFrom(table, 0);
}

TEST(LoadRecordTable, FileLoadsLikeTheSameBytesInMemory) {
    // Long runs of leading zeros move a CR LF across every position around the reader's
    // block boundaries.
    for (int shift = 0; shift < 12; ++shift) {
        for (int zeros : {8134, 16324}) {
            std::string bytes = FormatRecord("Semester 4", "Chemistry", 1, 2);
            bytes += "Semester 5\r\nBiology\r\n" + std::string(zeros + shift, '0') + "3\r\n7\r\n";
            bytes += FormatRecord("Sem\r", "Lone\rCR", 0, 0);
            TemporaryFile file;
            WriteBytes(file.Path(), bytes);
            RecordTableArray fromFile{};
            RecordTableArray fromMemory{};
            const LoadReport report = LoadRecordTable(file.Path().c_str(), fromFile);
            LoadRecordBytes(bytes, fromMemory);
            SCOPED_TRACE(zeros + shift);
            EXPECT_TRUE(report.Opened);
            EXPECT_EQ(report.RecordsRead, 3);
            ExpectRecord(fromFile[1], "Semester 5\n", "Biology\n", 3, 7);
            ExpectRecord(fromFile[2], "Sem\r\n", "Lone\rCR\n", 0, 0);
            ExpectSameTable(fromFile, fromMemory);
        }
    }
}

#if !defined(_WIN32)
TEST(LoadRecordTable, ReadErrorStopsTheLoadAndIsReported) {
    // A folder opens for reading here, but reading it fails.
    const LoadReport report =
        LoadRecordTable(std::filesystem::temp_directory_path().string().c_str(), RecordTable);
    EXPECT_TRUE(report.Opened);
    EXPECT_TRUE(report.ReadError);
    ExpectEmptyFrom(RecordTable, 0);
}
#endif

TEST(AppendRecord, StartAfreshEmptiesThenLaterInsertsAppend) {
    TemporaryFile file;
    WriteBytes(file.Path(), "old contents\r\n");
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), true, "Semester 2", "Physics", 3, 1));
    EXPECT_EQ(ReadBytes(file.Path()), "Semester 2\r\nPhysics\r\n3\r\n1\r\n");
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 2", "", 0, 9));
    EXPECT_EQ(ReadBytes(file.Path()),
              "Semester 2\r\nPhysics\r\n3\r\n1\r\nSemester 2\r\n\r\n0\r\n9\r\n");
}

TEST(AppendRecord, AppendCreatesAMissingFile) {
    TemporaryFile file;
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 1", "Art", 0, 0));
    EXPECT_EQ(ReadBytes(file.Path()), FormatRecord("Semester 1", "Art", 0, 0));
}

TEST(AppendRecord, UnopenableFileReportsFailure) {
    EXPECT_FALSE(AppendRecord("no-such-folder/x.rst", false, "Semester 1", "Art", 0, 0));
    EXPECT_FALSE(std::filesystem::exists("no-such-folder/x.rst"));
}

TEST(AppendRecord, TextsThatWouldNotReadBackLeaveTheFileUntouched) {
    TemporaryFile file;
    const std::string before = FormatRecord("Semester 1", "Art", 0, 0);
    WriteBytes(file.Path(), before);
    const std::string subject50(50, 'x');
    EXPECT_FALSE(AppendRecord(file.Path().c_str(), false, "Semester 1", subject50.c_str(), 0, 0));
    EXPECT_FALSE(AppendRecord(file.Path().c_str(), true, "Semester 1", "Two\nlines", 0, 0));
    EXPECT_FALSE(AppendRecord(file.Path().c_str(), false, "Semester 1\n", "Art", 0, 0));
    EXPECT_FALSE(AppendRecord(file.Path().c_str(), false, "Semester 1 and more", "Art", 0, 0));
    EXPECT_EQ(ReadBytes(file.Path()), before);
    const std::string subject49(49, 'y');
    EXPECT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 1", subject49.c_str(), 0, 0));
}

TEST(AppendRecord, RoundTripThroughLoad) {
    TemporaryFile file;
    const std::string subject49(49, 'q');
    const std::string subject48(48, 'r');
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), true, "Semester 1", "Calculus", 3, 0));
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 8", "", 2, 5));
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 3", subject49.c_str(), 1, 8));
    ASSERT_TRUE(AppendRecord(file.Path().c_str(), false, "Semester 3", subject48.c_str(), 0, 9));
    RecordTableArray table{};
    const LoadReport report = LoadRecordTable(file.Path().c_str(), table);
    EXPECT_EQ(report.RecordsRead, 4);
    ExpectRecord(table[0], "Semester 1\n", "Calculus\n", 3, 0);
    ExpectRecord(table[1], "Semester 8\n", "\n", 2, 5);
    ExpectRecord(table[2], "Semester 3\n", subject49.c_str(), 1, 8);
    ExpectRecord(table[3], "Semester 3\n", (subject48 + "\n").c_str(), 0, 9);
    ExpectEmptyFrom(table, 4);
}

} // namespace
