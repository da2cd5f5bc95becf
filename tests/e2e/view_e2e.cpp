// The results view of the real gradewick.exe, driven from outside: the results appear by
// themselves at the end of the opening animation, a tab and the semester list choose the
// semester, Add Subject and back, the warning about an oversized file, and Exit.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "driver.h"

namespace {

using e2e::Program;

constexpr DWORD StartTimeout = 20000;   // splash and a first start in a fresh prefix
constexpr DWORD ResultsTimeout = 15000; // the opening animation lasts about 4.5 s
constexpr int RowOneSubject = 172;
constexpr int TabSelectedBase = IDC_TAB_SELECTED_BASE;

// Starts the program and opens the results view on an existing file.
HWND OpenResultsView(Program& program, const std::string& path) {
    return e2e::ChooseExistingFile(program, e2e::StartAtFileSelection(program, StartTimeout), path);
}

// Client position of the centre of a control of another process's dialog.
POINT CentreOf(HWND dialog, int controlId) {
    RECT r{};
    GetWindowRect(e2e::Control(dialog, controlId), &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(dialog, &centre);
    return centre;
}

TEST(ResultsViewEndToEnd, ResultsAppearByThemselvesThenTabListAddSubjectAndBackAndExit) {
    const std::string path = e2e::TemporaryPath(".rst");
    e2e::WriteFileBytes(
        path, e2e::StoredRecord(1, "Algebra", 3, 0) + e2e::StoredRecord(2, "Optics", 1, 2) +
                  e2e::StoredRecord(3, "Physics", 2, 3) + e2e::StoredRecord(3, "Drawing", 0, 6));
    Program program;
    HWND view = OpenResultsView(program, path);
    ASSERT_NE(view, nullptr);
    const std::uint64_t opened = e2e::NowMilliseconds();
    EXPECT_EQ(e2e::ControlText(view, RowOneSubject), "") << "results before the animation ended";

    ASSERT_TRUE(e2e::WaitUntil([&] { return !e2e::ControlText(view, IDC_VIEW_GPA).empty(); },
                               ResultsTimeout))
        << "the results never appeared";
    const std::uint64_t appeared = e2e::NowMilliseconds() - opened;
    std::printf("results appeared %llu ms after the view was found\n",
                static_cast<unsigned long long>(appeared));
    EXPECT_GE(appeared, 2000u) << "the view refreshed long before its animation could end";
    EXPECT_EQ(e2e::ControlText(view, RowOneSubject), "Algebra\n");
    EXPECT_EQ(e2e::ControlText(view, IDC_VIEW_GPA), "4.00");
    EXPECT_EQ(e2e::ControlText(view, IDC_VIEW_CGPA), "3.36"); // (16 + 6.6 + 9 + 2) / 10
    EXPECT_TRUE(e2e::ControlVisible(view, IDC_VIEW_GOOD));

    // A press on the picture of tab 3 chooses semester 3.
    const POINT tab3 = CentreOf(view, TabSelectedBase + 3);
    e2e::MouseDown(view, tab3.x, tab3.y);
    ASSERT_TRUE(
        e2e::WaitUntil([&] { return e2e::ControlText(view, RowOneSubject) == "Physics\n"; }, 5000));
    EXPECT_EQ(e2e::ComboSelection(view, IDC_VIEW_SEMESTER_LIST), 2);
    EXPECT_EQ(e2e::ControlText(view, IDC_VIEW_GPA), "2.75");
    EXPECT_TRUE(e2e::ControlVisible(view, IDC_VIEW_BAD));
    // Tab 3 blinks now.
    bool seenOn = false;
    bool seenOff = false;
    e2e::WaitUntil(
        [&] {
            (e2e::ControlVisible(view, TabSelectedBase + 3) ? seenOn : seenOff) = true;
            return seenOn && seenOff;
        },
        3000);
    EXPECT_TRUE(seenOn && seenOff) << "tab 3 does not blink";

    // The semester list chooses semester 2.
    e2e::SelectComboItem(view, IDC_VIEW_SEMESTER_LIST, 1);
    EXPECT_EQ(e2e::ControlText(view, RowOneSubject), "Optics\n");
    EXPECT_EQ(e2e::ControlText(view, IDC_VIEW_GPA), "3.30");

    // Add Subject opens the entry screen for semester 2; View CGPA comes back to a new view.
    e2e::Click(view, IDC_VIEW_ADD_SUBJECT);
    HWND entry = program.WaitForScreen(IDC_ENTRY_SUBJECT);
    ASSERT_NE(entry, nullptr) << "no subject entry screen";
    EXPECT_TRUE(program.WaitForScreenGone(IDC_VIEW_SEMESTER_LIST, 2000));
    EXPECT_EQ(e2e::ControlText(entry, IDC_ENTRY_SEMESTER), "Semester 2");
    e2e::Click(entry, IDC_ENTRY_VIEW_CGPA);
    view = program.WaitForScreen(IDC_VIEW_SEMESTER_LIST);
    ASSERT_NE(view, nullptr) << "no results view after View CGPA";
    EXPECT_EQ(e2e::ComboSelection(view, IDC_VIEW_SEMESTER_LIST), 1);
    EXPECT_EQ(e2e::ControlText(view, RowOneSubject), "");
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ControlText(view, RowOneSubject) == "Optics\n"; },
                               ResultsTimeout));

    e2e::Click(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

TEST(ResultsViewEndToEnd, AnOversizedFileIsShownCutWithOneWarningAfterTheViewAppears) {
    std::string file;
    for (int i = 1; i <= 101; ++i) {
        file += e2e::StoredRecord(1, "Subject " + std::to_string(i), 0, i == 101 ? 9 : 0);
    }
    const std::string path = e2e::TemporaryPath(".rst");
    e2e::WriteFileBytes(path, file);
    Program program;
    HWND view = OpenResultsView(program, path);
    ASSERT_NE(view, nullptr);
    const auto box = program.WaitForMessageBox(e2e::DefaultTimeoutMilliseconds, "WARNING");
    ASSERT_TRUE(box.has_value()) << "no warning";
    EXPECT_NE(box->text.find("first 100 subjects"), std::string::npos) << box->text;
    EXPECT_TRUE(e2e::WindowVisible(view)) << "the view is on screen beneath the warning";
    e2e::PressMessageBoxButton(box->window);
    EXPECT_TRUE(e2e::WaitUntil([&] { return e2e::ControlText(view, IDC_VIEW_GPA) == "4.00"; },
                               ResultsTimeout));
    EXPECT_FALSE(program.WaitForMessageBox(500).has_value()) << "warned twice";

    e2e::PressCloseBox(view);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

} // namespace
