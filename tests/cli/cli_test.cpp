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
const std::string BlankSlots3To7 = "slot\t3\t\t\t\nslot\t4\t\t\t\nslot\t5\t\t\t\nslot\t6\t\t\t\n"
                                   "slot\t7\t\t\t\n";

TEST(CliShow, PrintsWhatTheResultsViewShows) {
    CliRun run = Cli({"show", ProgramFile, "2"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "slot\t1\tLinear Algebra\t3\tA-\nslot\t2\tProgramming\t4\tA-\n" +
                           BlankSlots3To7 + "gpa\t3.70\nverdict\tgood\ncgpa\t3.30\n");
    EXPECT_EQ(run.Err, "");
    // A subject stored empty reads back as a lone line feed: a blank name beside its credits.
    run = Cli({"show", ProgramFile, "3"});
    EXPECT_EQ(run.Out, "slot\t1\tEthics\t1\tA-\nslot\t2\t\t2\tD\n" + BlankSlots3To7 +
                           "gpa\t1.90\nverdict\tbad\ncgpa\t3.30\n");
    run = Cli({"show", ProgramFile, "6"});
    EXPECT_NE(run.Out.find("gpa\t\nverdict\tnormal\ncgpa\t3.30\n"), std::string::npos);
    run = Cli({"show", GoldenPath("empty.rst"), "1"});
    EXPECT_NE(run.Out.find("gpa\t\nverdict\tnormal\ncgpa\t\n"), std::string::npos);
}

TEST(CliShow, WarningsGoToStandardErrorOnly) {
    const CliRun full = Cli({"show", GoldenPath("over_100_records.rst"), "1"});
    EXPECT_EQ(full.Status, 0);
    EXPECT_NE(full.Err.find("more than 100 records"), std::string::npos);
    EXPECT_NE(full.Out.find("slot\t7\tCourse 48\t1\tD+\ngpa"), std::string::npos);
    EXPECT_EQ(full.Out.find("100"), std::string::npos);

    const CliRun damaged = Cli({"show", GoldenPath("damaged_indices.rst"), "4"});
    EXPECT_EQ(damaged.Status, 0);
    EXPECT_NE(damaged.Err.find("3 records were passed over"), std::string::npos);
    EXPECT_EQ(damaged.Out.substr(0, damaged.Out.find('\n')), "slot\t1\tFine\t2\tD");
}

TEST(CliShow, FailuresAndBadArguments) {
    const CliRun missing = Cli({"show", "no-such-folder/missing.rst", "1"});
    EXPECT_EQ(missing.Status, 1);
    EXPECT_EQ(missing.Out, "");
    EXPECT_NE(missing.Err.find("no-such-folder/missing.rst"), std::string::npos);
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
    const CliRun unwritable = Cli({"add", "no-such-folder/new.rst", "1", "1", "A", "Art"});
    EXPECT_EQ(unwritable.Status, 1);
    EXPECT_NE(unwritable.Err.find("no-such-folder/new.rst"), std::string::npos);
}

TEST(CliAdd, InvalidArgumentsNameTheValueAndLeaveTheFileUntouched) {
    TemporaryFile file;
    const std::string before = FormatRecord("Semester 1", "Art", 0, 0);
    WriteBytes(file.Path(), before);
    const std::string subject50(50, 'x');
    // {semester, credits, grade, subject, the text the message must name}
    const std::vector<std::vector<std::string>> bad = {
        {"9", "1", "A", "Art", "9"},          {"0", "1", "A", "Art", "0"},
        {"1", "5", "A", "Art", "5"},          {"1", "one", "A", "Art", "one"},
        {"1", "1", "E", "Art", "E"},          {"1", "1", "a", "Art", "a"},
        {"1", "1", "D-", "Art", "D-"},        {"1", "1", "A", subject50, subject50},
        {"1", "1", "A", "Two\nlines", "Two"}, {"1", "1", "A", "Carriage\rreturn", "Carriage"}};
    for (const auto& args : bad) {
        const CliRun run = Cli({"add", "--new", file.Path(), args[0], args[1], args[2], args[3]});
        EXPECT_EQ(run.Status, 2) << args[4];
        EXPECT_NE(run.Err.find(args[4]), std::string::npos) << run.Err;
        EXPECT_EQ(ReadBytes(file.Path()), before) << args[4];
    }
    EXPECT_EQ(Cli({"add", "--new", file.Path(), "1", "1", "A"}).Status, 2);
    EXPECT_EQ(ReadBytes(file.Path()), before);
    EXPECT_EQ(Cli({"add", file.Path(), "1", "1", "A", std::string(49, 'y')}).Status, 0);
}

TEST(CliReport, EverySubjectOfEverySemesterThenTheCgpaAndWarnings) {
    CliRun run = Cli({"report", GoldenPath("over_100_records.rst")});
    EXPECT_EQ(run.Status, 0);
    // Semester 1 holds courses 0, 8, .., 96: all thirteen, not only seven.
    EXPECT_NE(run.Out.find("Semester 1: 13 subjects, 13 credits, GPA 2.61 (bad)"),
              std::string::npos)
        << run.Out;
    EXPECT_NE(run.Out.find("Course 96 "), std::string::npos);
    EXPECT_EQ(run.Out.find("Course 100"), std::string::npos);
    EXPECT_LT(run.Out.find("CGPA"), run.Out.find("more than 100 records"));

    run = Cli({"report", ProgramFile});
    EXPECT_EQ(run.Out.find("Semester 5"), std::string::npos);
    EXPECT_NE(run.Out.find("Semester 8: 1 subject, 4 credits, GPA 4.00 (good)"), std::string::npos);
    EXPECT_NE(run.Out.find("(no name)"), std::string::npos);
    EXPECT_NE(run.Out.find("CGPA 3.30 over 25 credits in 5 semesters"), std::string::npos);
    EXPECT_EQ(run.Out.find("Warnings"), std::string::npos);

    run = Cli({"report", GoldenPath("overlong_lines.rst")});
    EXPECT_NE(run.Out.find("2 records were passed over"), std::string::npos);
    EXPECT_NE(run.Out.find("2 entries name no semester"), std::string::npos);
    EXPECT_EQ(Cli({"report", "no-such-folder/missing.rst"}).Status, 1);
}

TEST(CliVersion, PrintsTheProjectVersion) {
    const CliRun run = Cli({"--version"});
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, std::string("gradewick-cli ") + GRADEWICK_VERSION_STRING + "\n");
}

} // namespace
