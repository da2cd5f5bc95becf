// The core against its golden files: every tests/golden/NAME.rst is loaded from disk and from
// memory, and a readable dump of the report, the table and every semester's summary must equal
// NAME.expected beside it (a differing dump is left in NAME.actual). Then what only a test of
// the file itself can show: refused writes, a load that fails, and records changed where they
// are.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <tuple>

#include <gtest/gtest.h>

#include "result_file.h"
#include "result_rewrite.h"
#include "summary.h"
#include "test_files.h"

namespace {

std::string GoldenPath(const char* name) {
    return std::string("golden/") + name;
}

std::string Quoted(const char* text) {
    std::string out = "\"";
    for (const unsigned char c : std::string_view(text)) {
        char escaped[8];
        const bool plain = c >= ' ' && c <= '~' && c != '"' && c != '\\';
        (void)std::snprintf(escaped, sizeof escaped, plain ? "%c" : "\\x%02x", c);
        out += c == '\n' ? "\\n" : c == '\r' ? "\\r" : escaped;
    }
    return out + "\"";
}

std::string Dump(const LoadReport& report, const RecordTableArray& table) {
    std::ostringstream out;
    out.precision(17);
    out << "opened " << report.Opened << ", more than 100 " << report.MoreThanCapacity
        << ", read error " << report.ReadError << ", records " << report.RecordsRead << "\n";
    for (std::size_t i = 0; i < table.size(); ++i) {
        const SubjectRecord& r = table[i];
        if (static_cast<int>(i) < report.RecordsRead || r.Label[0] != '\0' ||
            r.Subject[0] != '\0' || r.CreditIndex != UnsetIndex || r.GradeIndex != UnsetIndex) {
            out << "record " << i << " at " << report.RecordBounds[i] << "-"
                << report.RecordBounds[i + 1] << ": " << Quoted(r.Label) << " " << Quoted(r.Subject)
                << " " << r.CreditIndex << " " << r.GradeIndex << "\n";
        }
    }
    SemesterTotalsData totals{};
    SummarySlots slots;
    for (int s = 0; s < SemesterCount; ++s) {
        slots = SummarizeRecords(table, totals, s);
        const GpaResult gpa = SemesterGpa(totals, s);
        const char* verdicts[] = {"good", "bad", "no credits"};
        out << "semester " << s + 1 << ": credits " << totals.Credits[s] << ", points "
            << totals.Points[s] << ", gpa \"" << gpa.Text << "\" "
            << verdicts[static_cast<int>(gpa.Verdict)] << ", rows " << slots.RowCount << "\n";
        for (int first = 0; first < slots.RowCount; first += SummarySlotCount) { // every row
            SemesterTotalsData scratch{};
            const SummarySlots window = SummarizeRecords(table, scratch, s, first);
            for (std::size_t slot = 0; slot < window.Slots.size(); ++slot) {
                const auto& row = window.Slots[slot];
                if (first + static_cast<int>(slot) < slots.RowCount) {
                    out << "  row " << first + slot + 1 << ", record " << window.Records[slot]
                        << ": "
                        << (row ? Quoted(row->Subject) + " " + row->Credits + " " + row->Grade
                                : "blank")
                        << "\n";
                }
            }
        }
    }
    out << "cgpa \"" << ComputeCumulative(totals) << "\", credits " << totals.TotalCredits
        << ", points " << totals.TotalPoints << ", passed over " << slots.PassedOver << "\n";
    return out.str();
}

TEST(Golden, EveryFileLoadsAndSummarisesAsExpected) {
#if defined(_WIN32) && defined(__x86_64__) // a runtime that leaves the x87 unit at 53 bits
    const unsigned short doublePrecision = 0x027f;
    __asm__ volatile("fldcw %0" : : "m"(doublePrecision));
#endif
    EnsureExtendedPrecision(); // the verdicts below depend on it
    std::set<std::filesystem::path> files;
    for (const auto& entry : std::filesystem::directory_iterator("golden")) {
        if (entry.path().extension() == ".rst") {
            files.insert(entry.path());
        }
    }
    ASSERT_GE(files.size(), 15U);
    for (std::filesystem::path path : files) { // the table is shared: each load must empty it
        SCOPED_TRACE(path.string());
        const std::string dump = Dump(LoadRecordTable(path.string().c_str()), RecordTable);
        RecordTableArray fromMemory{};
        EXPECT_EQ(Dump(LoadRecordBytes(ReadBytes(path.string()), fromMemory), fromMemory), dump);
        const std::string expected = ReadBytes(path.replace_extension(".expected").string());
        EXPECT_EQ(dump, expected);
        if (dump != expected) {
            WriteBytes(path.filename().replace_extension(".actual").string(), dump);
        }
    }
}

TEST(Golden, RefusedWritesLeaveTheFileUntouched) {
    TemporaryFile file;
    WriteBytes(file.Path, "Semester 1\r\nArt\r\n0\r\n0\r\n");
    const std::string subject50(50, 'x');
    for (const auto& [afresh, label, subject] :
         {std::tuple{false, "Semester 1", subject50.c_str()},
          std::tuple{true, "Semester 1", "Two\nlines"}, std::tuple{true, "Semester 1\n", "Art"},
          std::tuple{false, "Semester 1 and 2", "Art"}}) {
        EXPECT_EQ(AppendRecord(file.Path.c_str(), afresh, label, subject, 0, 0).Status,
                  AppendStatus::BadText);
    }
    EXPECT_EQ(ReadBytes(file.Path), "Semester 1\r\nArt\r\n0\r\n0\r\n");
    EXPECT_EQ(AppendRecord("no-such-folder/x.rst", false, "Semester 1", "Art", 0, 0).Status,
              AppendStatus::Failed);
}

TEST(Golden, FailedLoadsAreReportedWithTheTableEmpty) {
    // A missing file does not open. A folder opens for reading here (not on Windows), but
    // reading it fails.
    for (const char* path : {"no-such-folder/x.rst", "golden"}) {
        LoadRecordTable(GoldenPath("program_written_crlf.rst").c_str());
        const LoadReport report = LoadRecordTable(path);
        EXPECT_EQ(report.Opened, report.ReadError) << path;
        EXPECT_EQ(RecordTable[0].Label[0], '\0') << path;
    }
}

// A change of one record of a golden file, against the file as it is on disk: the file must then
// hold golden/NAME.rewritten when done, and its own bytes otherwise, with no new file left.
TEST(Golden, RecordsChangedWhereTheyAre) {
    const struct {
        const char* name;
        const char* input;
        RecordChange change;
        const char* shownAfter; // what the bytes shown end in beyond the file's own
        RewriteStatus status;
    } rows[] = {
        {"shown",
         "program_written_crlf.rst",
         {1, false, RecordField::GradeIndex, "5"},
         "x",
         RewriteStatus::ChangedSinceShown},
        {"two_lines",
         "program_written_crlf.rst",
         {9, false, RecordField::Subject, "Two\r\nlines"},
         "",
         RewriteStatus::WouldReadDifferently},
        // "5" then "9 Semester 2": the record before would read the grade 59.
        {"runs_on",
         "run_on_number.rst",
         {1, false, RecordField::Label, "9 Semester 2"},
         "",
         RewriteStatus::WouldReadDifferently},
        {"nul_kept",
         "nul_bytes.rst",
         {0, false, RecordField::GradeIndex, "0"},
         "",
         RewriteStatus::Done},
        {"in_lf_file",
         "program_written_lf.rst",
         {2, false, RecordField::Subject, "Rewritten"},
         "",
         RewriteStatus::Done},
    };
    TemporaryFile file;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const std::string input = ReadBytes(GoldenPath(row.input));
        WriteBytes(file.Path, input);
        const RewriteResult result =
            RewriteRecords(file.Path, {&row.change, 1}, input + row.shownAfter);
        EXPECT_EQ(result.Status, row.status) << result.Message;
        const bool done = row.status == RewriteStatus::Done;
        EXPECT_EQ(ReadBytes(file.Path),
                  done ? ReadBytes(GoldenPath(row.name) + ".rewritten") : input);
        EXPECT_FALSE(std::filesystem::exists(file.Path + ".new"));
    }
}

} // namespace
