// gradewick-cli in process: show, add and report, their output and their errors.
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "cli.h"
#include "gradewick_version.h"
#include "result_file.h"
#include "test_support.h"

namespace {

struct CliRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

CliRun Cli(std::vector<std::string> args) {
    args.insert(args.begin(), "gradewick-cli");
    std::vector<const char*> argv;
    argv.reserve(args.size());
    for (const std::string& arg : args) {
        argv.push_back(arg.c_str());
    }
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    run.Status = RunGradewickCli(static_cast<int>(argv.size()), argv.data(), out, err);
    run.Out = out.str();
    run.Err = err.str();
    return run;
}

const std::string ProgramFile = GoldenPath("program_written_crlf.rst");

TEST(CliShow, PrintsTheSevenSlotsGpaVerdictAndCgpa) {
    const CliRun run = Cli({"show", ProgramFile, "2"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "slot\t1\tLinear Algebra\t3\tA-\n"
                       "slot\t2\tProgramming\t4\tA-\n"
                       "slot\t3\t\t\t\nslot\t4\t\t\t\nslot\t5\t\t\t\nslot\t6\t\t\t\nslot\t7\t\t\t\n"
                       "gpa\t3.70\nverdict\tgood\ncgpa\t3.30\n");
    EXPECT_EQ(run.Err, "");
}

TEST(CliShow, LoneLineFeedSubjectShowsAsABlankNameBesideItsCredits) {
    const CliRun run = Cli({"show", ProgramFile, "3"});
    EXPECT_EQ(run.Out, "slot\t1\tEthics\t1\tA-\n"
                       "slot\t2\t\t2\tD\n"
                       "slot\t3\t\t\t\nslot\t4\t\t\t\nslot\t5\t\t\t\nslot\t6\t\t\t\nslot\t7\t\t\t\n"
                       "gpa\t1.90\nverdict\tbad\ncgpa\t3.30\n");
}

TEST(CliShow, SemesterWithoutCreditsIsNormalWithAnEmptyGpa) {
    const CliRun run = Cli({"show", ProgramFile, "6"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("slot\t7\t\t\t\ngpa\t\nverdict\tnormal\ncgpa\t3.30\n"),
              std::string::npos);
    const CliRun empty = Cli({"show", GoldenPath("empty.rst"), "1"});
    EXPECT_EQ(empty.Status, 0);
    EXPECT_NE(empty.Out.find("gpa\t\nverdict\tnormal\ncgpa\t\n"), std::string::npos);
}

TEST(CliShow, SubjectOfFortyNineCharactersPrintsWhole) {
    const CliRun run = Cli({"show", GoldenPath("subject_49.rst"), "6"});
    EXPECT_EQ(run.Out.substr(0, run.Out.find("slot\t3")),
              "slot\t1\tIntroduction to Numerical Methods for Engineers I\t4\tB+\n"
              "slot\t2\tIntroduction to Numerical Methods for Engineers!\t1\tA\n");
}

TEST(CliShow, WarningsGoToStandardErrorOnly) {
    const CliRun full = Cli({"show", GoldenPath("over_100_records.rst"), "1"});
    EXPECT_EQ(full.Status, 0);
    EXPECT_NE(full.Err.find("more than 100 records"), std::string::npos);
    EXPECT_EQ(full.Out.find("100"), std::string::npos);
    EXPECT_NE(full.Out.find("slot\t7\tCourse 48\t1\tD+\n"), std::string::npos);

    const CliRun damaged = Cli({"show", GoldenPath("damaged_indices.rst"), "4"});
    EXPECT_EQ(damaged.Status, 0);
    EXPECT_NE(damaged.Err.find("3 records were passed over"), std::string::npos);
    EXPECT_EQ(damaged.Out.substr(0, damaged.Out.find('\n')), "slot\t1\tFine\t2\tD");
}

TEST(CliShow, UnopenableFileExitsOneWithAMessage) {
    const CliRun run = Cli({"show", "no-such-folder/missing.rst", "1"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_EQ(run.Out, "");
    EXPECT_NE(run.Err.find("no-such-folder/missing.rst"), std::string::npos);
}

TEST(CliShow, BadSemesterIsAUsageError) {
    for (const char* semester : {"0", "9", "x", "-1"}) {
        const CliRun run = Cli({"show", ProgramFile, semester});
        EXPECT_EQ(run.Status, 2) << semester;
        EXPECT_EQ(run.Out, "") << semester;
        EXPECT_NE(run.Err.find(semester), std::string::npos) << run.Err;
    }
    EXPECT_EQ(Cli({"show", ProgramFile}).Status, 2);
    EXPECT_EQ(Cli({}).Status, 2);
    EXPECT_EQ(Cli({"erase", ProgramFile}).Status, 2);
}

TEST(CliAdd, WritesWhatOneInsertWrites) {
    TemporaryFile file;
    WriteBytes(file.Path(), "whatever was there\r\n");
    EXPECT_EQ(Cli({"add", "--new", file.Path(), "2", "4", "A-", "Physics"}).Status, 0);
    EXPECT_EQ(ReadBytes(file.Path()), "Semester 2\r\nPhysics\r\n3\r\n1\r\n");
    EXPECT_EQ(Cli({"add", file.Path(), "8", "1", "D", ""}).Status, 0);
    EXPECT_EQ(Cli({"add", file.Path(), "1", "2", "B-", "Caf\xe9 studies"}).Status, 0);
    EXPECT_EQ(ReadBytes(file.Path()), "Semester 2\r\nPhysics\r\n3\r\n1\r\n"
                                      "Semester 8\r\n\r\n0\r\n9\r\n"
                                      "Semester 1\r\nCaf\xe9 studies\r\n1\r\n4\r\n");
}

TEST(CliAdd, CreatesAMissingFileWithoutNew) {
    TemporaryFile file;
    ASSERT_EQ(Cli({"add", file.Path(), "3", "3", "C+", "Art"}).Status, 0);
    EXPECT_EQ(ReadBytes(file.Path()), FormatRecord("Semester 3", "Art", 2, 5));
}

TEST(CliAdd, InvalidArgumentsNameTheValueAndLeaveTheFileUntouched) {
    TemporaryFile file;
    const std::string before = FormatRecord("Semester 1", "Art", 0, 0);
    WriteBytes(file.Path(), before);
    const std::string subject50(50, 'x');
    const std::vector<std::vector<std::string>> bad = {
        {"add", "--new", file.Path(), "9", "1", "A", "Art"},
        {"add", "--new", file.Path(), "0", "1", "A", "Art"},
        {"add", "--new", file.Path(), "1", "5", "A", "Art"},
        {"add", "--new", file.Path(), "1", "0", "A", "Art"},
        {"add", "--new", file.Path(), "1", "one", "A", "Art"},
        {"add", "--new", file.Path(), "1", "1", "E", "Art"},
        {"add", "--new", file.Path(), "1", "1", "a", "Art"},
        {"add", "--new", file.Path(), "1", "1", "D-", "Art"},
        {"add", "--new", file.Path(), "1", "1", "A", subject50},
        {"add", "--new", file.Path(), "1", "1", "A", "Two\nlines"},
        {"add", "--new", file.Path(), "1", "1", "A", "Carriage\rreturn"},
        {"add", "--new", file.Path(), "1", "1", "A"},
    };
    const std::vector<std::string> named = {"9", "0",  "5",       "0",   "one",      "E",
                                            "a", "D-", subject50, "Two", "Carriage", "SUBJECT"};
    for (std::size_t i = 0; i < bad.size(); ++i) {
        const CliRun run = Cli(bad[i]);
        EXPECT_EQ(run.Status, 2) << i;
        EXPECT_NE(run.Err.find(named[i]), std::string::npos) << i << ": " << run.Err;
        EXPECT_EQ(ReadBytes(file.Path()), before) << i;
    }
    const std::string subject49(49, 'y');
    EXPECT_EQ(Cli({"add", file.Path(), "1", "1", "A", subject49}).Status, 0);
}

TEST(CliAdd, UnwritableFileExitsOne) {
    const CliRun run = Cli({"add", "no-such-folder/new.rst", "1", "1", "A", "Art"});
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Err.find("no-such-folder/new.rst"), std::string::npos);
}

TEST(CliAdd, AddedSubjectsShowAsTheViewWouldShowThem) {
    TemporaryFile file;
    for (int i = 1; i <= 9; ++i) {
        ASSERT_EQ(Cli({"add", file.Path(), "5", "3", "A-", "Course " + std::to_string(i)}).Status,
                  0);
    }
    const CliRun run = Cli({"show", file.Path(), "5"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("slot\t7\tCourse 7\t3\tA-\ngpa\t3.70\nverdict\tgood\ncgpa\t3.70\n"),
              std::string::npos);
    EXPECT_EQ(run.Out.find("Course 8"), std::string::npos);
}

TEST(CliReport, ListsEverySubjectOfEverySemesterWithGpaAndCgpa) {
    const CliRun run = Cli({"report", GoldenPath("over_100_records.rst")});
    EXPECT_EQ(run.Status, 0);
    // Semester 1 holds courses 0, 8, .., 96: all thirteen, not only seven.
    EXPECT_NE(run.Out.find("Semester 1: 13 subjects, 13 credits, GPA 2.61 (bad)"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Course 96 "), std::string::npos);
    EXPECT_EQ(run.Out.find("Course 100"), std::string::npos);
    EXPECT_NE(run.Out.find("CGPA"), std::string::npos);
    EXPECT_NE(run.Out.find("more than 100 records"), std::string::npos);
    EXPECT_LT(run.Out.find("CGPA"), run.Out.find("more than 100 records"));
}

TEST(CliReport, OmitsEmptySemestersAndNamesSubjectlessRows) {
    const CliRun run = Cli({"report", ProgramFile});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out.find("Semester 5"), std::string::npos);
    EXPECT_NE(run.Out.find("Semester 8: 1 subject, 4 credits, GPA 4.00 (good)"), std::string::npos);
    EXPECT_NE(run.Out.find("(no name)"), std::string::npos);
    EXPECT_NE(run.Out.find("CGPA 3.30 over 25 credits in 5 semesters"), std::string::npos);
    EXPECT_EQ(run.Out.find("Warnings"), std::string::npos);
}

TEST(CliReport, DamagedFileIsReportedWithWarnings) {
    const CliRun run = Cli({"report", GoldenPath("overlong_lines.rst")});
    EXPECT_EQ(run.Status, 0);
    EXPECT_NE(run.Out.find("2 records were passed over"), std::string::npos);
    EXPECT_NE(run.Out.find("2 entries name no semester"), std::string::npos);
    const CliRun missing = Cli({"report", "no-such-folder/missing.rst"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Out, "");
}

TEST(CliVersion, PrintsTheProjectVersion) {
    const CliRun run = Cli({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, std::string("gradewick-cli ") + GRADEWICK_VERSION_STRING + "\n");
}

} // namespace
