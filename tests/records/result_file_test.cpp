// Writing the result file, reading what is not in the golden files (number forms, capacity,
// block boundaries, failures), and the round trip through both.
#include <climits>
#include <string>

#include <gtest/gtest.h>

#include "result_file.h"
#include "test_support.h"

namespace {

RecordTableArray Load(std::string_view bytes, LoadReport* report = nullptr) {
    RecordTableArray table{};
    const LoadReport got = LoadRecordBytes(bytes, table);
    if (report != nullptr) {
        *report = got;
    }
    return table;
}

std::string Records(int first, int last) {
    std::string bytes;
    for (int i = first; i < last; ++i) {
        std::string subject("S");
        subject.append(std::to_string(i));
        bytes += FormatRecord("Semester 1", subject.c_str(), i % 4, i % 10);
    }
    return bytes;
}

TEST(LoadRecordBytes, NumberForms) {
    ExpectRecord(Load("L\nS\n-3\n+7\n")[0], "L\n", "S\n", -3, 7);
    ExpectRecord(Load("L\nS\n2147483647\n-2147483648\n")[0], "L\n", "S\n", INT_MAX, INT_MIN);
    ExpectRecord(Load("L\nS\n2147483648\n-99999999999\n")[0], "L\n", "S\n", INT_MAX, INT_MIN);
    // Text after the digits is left for the next field.
    const RecordTableArray table = Load("L\nS\n2abc\n1\n");
    ExpectRecord(table[0], "L\n", "S\n", 2, UnsetIndex);
    ExpectRecord(table[1], "abc\n", "1\n", UnsetIndex, UnsetIndex);
    // White space before the first label is no record's trailing skip: it is read as a label.
    ExpectRecord(Load("\r\nSemester 1\r\nA\r\n0\r\n")[0], "\n", "Semester 1\n", UnsetIndex,
                 UnsetIndex);
}

TEST(LoadRecordBytes, HundredRecordsFitAndMoreAreCutAndReported) {
    LoadReport report;
    RecordTableArray table = Load(Records(0, 100), &report);
    EXPECT_EQ(report.RecordsRead, 100);
    EXPECT_FALSE(report.MoreThanCapacity);
    ExpectRecord(table[99], "Semester 1\n", "S99\n", 3, 9);

    table = Load(Records(0, 250), &report);
    EXPECT_EQ(report.RecordsRead, 100);
    EXPECT_TRUE(report.MoreThanCapacity);
    ExpectRecord(table[99], "Semester 1\n", "S99\n", 3, 9);
}

TEST(LoadRecordBytes, SplitRecordPushesTheHundredthOut) {
    const std::string bytes = Records(0, 5) +
                              FormatRecord("Semester 1", std::string(60, 'x').c_str(), 1, 2) +
                              Records(6, 100);
    LoadReport report;
    const RecordTableArray table = Load(bytes, &report);
    EXPECT_TRUE(report.MoreThanCapacity);
    ExpectRecord(table[5], "Semester 1\n", std::string(49, 'x').c_str(), UnsetIndex, UnsetIndex);
    ExpectRecord(table[6], "xxxxxxxxxxx\n", "1\n", 2, UnsetIndex);
    ExpectRecord(table[7], "Semester 1\n", "S6\n", 2, 6);
    ExpectRecord(table[99], "Semester 1\n", "S98\n", 2, 8);
}

TEST(LoadRecordTable, MissingFileLeavesTheTableEmpty) {
    RecordTableArray table = Load(Records(0, 3));
    const LoadReport report = LoadRecordTable("no-such-folder/no-such-file.rst", table);
    EXPECT_FALSE(report.Opened);
    ExpectEmptyFrom(table, 0);
}

#if !defined(_WIN32)
TEST(LoadRecordTable, ReadErrorStopsTheLoadAndIsReported) {
    // A folder opens for reading here, but reading it fails.
    const LoadReport report =
        LoadRecordTable(std::filesystem::temp_directory_path().string().c_str());
    EXPECT_TRUE(report.Opened);
    EXPECT_TRUE(report.ReadError);
    ExpectEmptyFrom(RecordTable, 0);
}
#endif

TEST(LoadRecordTable, CarriageReturnLineFeedAcrossBlockBoundaries) {
    // Long runs of leading zeros move a CR LF, and a lone CR, across every position around
    // the reader's block boundaries.
    for (int zeros = 8134; zeros < 8146; ++zeros) {
        for (int block = 0; block < 2; ++block) {
            const int length = zeros + block * 8190;
            std::string bytes = FormatRecord("Semester 4", "Chemistry", 1, 2);
            bytes += "Semester 5\r\nBiology\r\n" + std::string(length, '0') + "3\r\n7\r\n";
            bytes += FormatRecord("Sem\r", "Lone\rCR", 0, 0);
            TemporaryFile file;
            WriteBytes(file.Path(), bytes);
            RecordTableArray fromFile{};
            const LoadReport report = LoadRecordTable(file.Path().c_str(), fromFile);
            SCOPED_TRACE(length);
            EXPECT_EQ(report.RecordsRead, 3);
            ExpectRecord(fromFile[1], "Semester 5\n", "Biology\n", 3, 7);
            ExpectRecord(fromFile[2], "Sem\r\n", "Lone\rCR\n", 0, 0);
            ExpectSameTable(fromFile, Load(bytes));
        }
    }
}

TEST(AppendRecord, StartAfreshEmptiesThenInsertsAppendAndReadBack) {
    TemporaryFile file;
    const std::string path = file.Path();
    WriteBytes(file.Path(), "old contents\r\n");
    const std::string subject49(49, 'q');
    const std::string subject48(48, 'r');
    ASSERT_TRUE(AppendRecord(path.c_str(), true, "Semester 2", "Physics", 3, 1));
    EXPECT_EQ(ReadBytes(file.Path()), "Semester 2\r\nPhysics\r\n3\r\n1\r\n");
    ASSERT_TRUE(AppendRecord(path.c_str(), false, "Semester 8", "", 2, 5));
    ASSERT_TRUE(AppendRecord(path.c_str(), false, "Semester 3", subject49.c_str(), 1, 8));
    ASSERT_TRUE(AppendRecord(path.c_str(), false, "Semester 3", subject48.c_str(), 0, 9));
    EXPECT_EQ(ReadBytes(file.Path()).substr(27, 20), "Semester 8\r\n\r\n2\r\n5\r\n");

    RecordTableArray table{};
    EXPECT_EQ(LoadRecordTable(path.c_str(), table).RecordsRead, 4);
    ExpectRecord(table[0], "Semester 2\n", "Physics\n", 3, 1);
    ExpectRecord(table[1], "Semester 8\n", "\n", 2, 5);
    ExpectRecord(table[2], "Semester 3\n", subject49.c_str(), 1, 8);
    ExpectRecord(table[3], "Semester 3\n", (subject48 + "\n").c_str(), 0, 9);
    ExpectEmptyFrom(table, 4);
}

TEST(AppendRecord, FailsWithoutWritingWhenTheFileCannotBeOpened) {
    TemporaryFile missing;
    EXPECT_TRUE(AppendRecord(missing.Path().c_str(), false, "Semester 1", "Art", 0, 0));
    EXPECT_EQ(ReadBytes(missing.Path()), FormatRecord("Semester 1", "Art", 0, 0));
    EXPECT_FALSE(AppendRecord("no-such-folder/x.rst", false, "Semester 1", "Art", 0, 0));
    EXPECT_FALSE(std::filesystem::exists("no-such-folder"));
}

TEST(AppendRecord, TextsThatWouldNotReadBackLeaveTheFileUntouched) {
    TemporaryFile file;
    const std::string path = file.Path();
    const std::string before = FormatRecord("Semester 1", "Art", 0, 0);
    WriteBytes(file.Path(), before);
    EXPECT_FALSE(
        AppendRecord(path.c_str(), false, "Semester 1", std::string(50, 'x').c_str(), 0, 0));
    EXPECT_FALSE(AppendRecord(path.c_str(), true, "Semester 1", "Two\nlines", 0, 0));
    EXPECT_FALSE(AppendRecord(path.c_str(), false, "Semester 1\n", "Art", 0, 0));
    EXPECT_FALSE(AppendRecord(path.c_str(), false, "Semester 1 and more", "Art", 0, 0));
    EXPECT_EQ(ReadBytes(file.Path()), before);
}

} // namespace
