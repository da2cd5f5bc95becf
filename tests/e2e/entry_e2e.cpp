// The subject entry screen of the real gradewick.exe, driven from outside: a new file through
// Save As, insertions checked on disk, and the hand-over to the results view.
#include <gtest/gtest.h>

#include <string>

#include "driver.h"

namespace {

using e2e::Program;

constexpr DWORD StartTimeout = 25000; // splash included; Wine's first start is slow

// Starts the program, chooses "New file" and names path in the Save As dialog.
HWND StartNewFile(Program& program, const std::string& path) {
    return e2e::ChooseNewFile(program, e2e::StartAtFileSelection(program, StartTimeout), path);
}

// Types a subject, chooses its credits and grade as a user would, and presses Insert.
void InsertSubject(HWND entry, const std::string& subject, int creditIndex, int gradeIndex) {
    ASSERT_TRUE(e2e::SetControlText(entry, IDC_ENTRY_SUBJECT, subject));
    EXPECT_TRUE(e2e::ControlEnabled(entry, IDC_ENTRY_INSERT)) << subject;
    if (creditIndex >= 0) {
        e2e::SelectComboItem(entry, IDC_ENTRY_CREDITS, creditIndex);
    }
    if (gradeIndex >= 0) {
        e2e::SelectComboItem(entry, IDC_ENTRY_GRADE, gradeIndex);
    }
    e2e::SendClick(entry, IDC_ENTRY_INSERT);
}

TEST(SubjectEntry, NewFileTakesSubjectsOnDiskAndHandsOverToTheResultsView) {
    const std::string path = e2e::TemporaryPath(".rst");
    Program program;
    HWND entry = StartNewFile(program, path);
    ASSERT_NE(entry, nullptr);
    EXPECT_EQ(e2e::ControlText(entry, IDC_ENTRY_SEMESTER), "Semester 1");
    EXPECT_FALSE(e2e::ControlEnabled(entry, IDC_ENTRY_INSERT));
    EXPECT_FALSE(e2e::ControlEnabled(entry, IDC_ENTRY_VIEW_CGPA));

    InsertSubject(entry, "Physics", 3, 1);
    EXPECT_EQ(e2e::ControlText(entry, IDC_ENTRY_GRADE_POINT), "3.7");
    EXPECT_EQ(e2e::ControlText(entry, IDC_ENTRY_SUBJECT), "");
    EXPECT_FALSE(e2e::ControlEnabled(entry, IDC_ENTRY_INSERT));
    EXPECT_TRUE(e2e::ControlEnabled(entry, IDC_ENTRY_VIEW_CGPA));
    EXPECT_EQ(program.FocusWindow(), e2e::Control(entry, IDC_ENTRY_SUBJECT));
    InsertSubject(entry, "Chemistry", 0, 4);
    EXPECT_EQ(e2e::ControlText(entry, IDC_ENTRY_GRADE_POINT), "2.7");
    InsertSubject(entry, "Biology", -1, -1); // the same credits and grade again
    EXPECT_EQ(e2e::ComboSelection(entry, IDC_ENTRY_CREDITS), 0);
    EXPECT_EQ(e2e::ComboSelection(entry, IDC_ENTRY_GRADE), 4);

    const std::string written = "Semester 1\r\nPhysics\r\n3\r\n1\r\n"
                                "Semester 1\r\nChemistry\r\n0\r\n4\r\n"
                                "Semester 1\r\nBiology\r\n0\r\n4\r\n";
    EXPECT_EQ(e2e::ReadFileBytes(path), written);

    e2e::Click(entry, IDC_ENTRY_VIEW_CGPA);
    HWND view = program.WaitForScreen(IDC_VIEW_SEMESTER_LIST);
    ASSERT_NE(view, nullptr) << "no results view";
    EXPECT_TRUE(program.WaitForScreenGone(IDC_ENTRY_SUBJECT, 2000));

    e2e::Click(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

} // namespace
