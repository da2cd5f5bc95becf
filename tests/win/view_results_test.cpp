// The results view screen: what an opening sets up, what a refresh shows for a semester, the
// warnings about what a result file left out, and the ways out of the screen.
#include <io.h>

#include <cstdio>

#include "view_test_fixture.h"

namespace {

constexpr int SubjectCell[7] = {172, 173, 174, 175, 176, 177, 178};
constexpr int CreditCell[7] = {183, 184, 185, 186, 187, 188, 189};
constexpr int GradeCell[7] = {179, 180, 181, 182, 131, 132, 133};

// Runs body with the process's standard output going to a file; returns what was written.
template <typename Body> std::string CaptureStandardOutput(Body body) {
    const std::string file = TemporaryPath(".out");
    std::fflush(stdout);
    const int saved = _dup(1);
    FILE* capture = std::fopen(file.c_str(), "wb");
    _dup2(_fileno(capture), 1);
    body();
    std::fflush(stdout);
    _dup2(saved, 1);
    _close(saved);
    std::fclose(capture);
    std::string text = ReadFileBytes(file);
    DeleteFileA(file.c_str());
    std::erase(text, '\r');
    return text;
}

int VisibleVerdicts(HWND view) {
    return static_cast<int>(ControlVisible(view, IDC_VIEW_GOOD)) +
           static_cast<int>(ControlVisible(view, IDC_VIEW_BAD)) +
           static_cast<int>(ControlVisible(view, IDC_VIEW_NORMAL));
}

using ResultsViewTest = ViewTest;

TEST_F(ResultsViewTest, OpeningMakesItsFontsPreselectsTheSemesterAndShowsNoResultsYet) {
    CurrentSemester = 5;
    Open(Record(6, "Algebra", 3, 0));
    EXPECT_EQ(LiveLabelFonts() - fontsBefore_, ResultsViewFontCount);

    EXPECT_EQ(SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_GETCOUNT, 0, 0), 8);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_SEMESTER_LIST), "6");
    EXPECT_EQ(ListSelection(), 5);

    EXPECT_EQ(Strip(), RestingStrip(1)) << "tab 1 first, whatever the semester";
    EXPECT_EQ(VisibleVerdicts(view_), 0);
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(ControlText(view_, SubjectCell[row]), "");
    }
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_CGPA), "");
    EXPECT_TRUE(MessageBoxAnswerer::Seen().empty());

    HDC dc = GetDC(view_);
    EXPECT_EQ(SendMessageA(view_, WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(view_)),
              reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH)))
        << "the screen is the labels' grey";
    ReleaseDC(view_, dc);
}

TEST_F(ResultsViewTest, VerdictFollowsTheUnroundedGpa) {
    struct Case {
        std::string File;
        const char* Gpa;
        int Visible;
    };
    const Case cases[] = {
        {Record(1, "Ethics", 0, 1), "3.70", IDC_VIEW_BAD},  // quotient equals 3.7
        {Record(1, "Ethics", 2, 1), "3.70", IDC_VIEW_GOOD}, // just above 3.7
        {Record(1, "Art", 3, 0) + Record(1, "Music", 2, 0) + Record(1, "Poetry", 2, 3), "3.70",
         IDC_VIEW_BAD}, // 37 points over 10 credits
        {Record(1, "Art", 3, 0), "4.00", IDC_VIEW_GOOD},
        {Record(2, "Art", 3, 0), "", IDC_VIEW_NORMAL}, // nothing in semester 1
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.File);
        Open(c.File);
        RefreshResultsView(view_);
        EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), c.Gpa);
        EXPECT_TRUE(ControlVisible(view_, c.Visible));
        EXPECT_EQ(VisibleVerdicts(view_), 1);
        EXPECT_NE(ControlText(view_, IDC_VIEW_CGPA), "");
    }
}

TEST_F(ResultsViewTest, ShowsTheFirstSevenSubjectsButCountsThemAll) {
    std::string file = Record(1, "First term", 3, 0);
    const char* names[] = {"Sub1", "Sub2", "Sub3", "Sub4", "Sub5", "Sub6", "Sub7"};
    for (const char* name : names) {
        file += Record(2, name, 0, 0) + Record(3, "Elsewhere", 0, 9);
    }
    file += Record(2, "Eighth", 3, 9) + Record(2, "Ninth", 3, 9);
    Open(file);
    SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL, 1, 0);
    SendCommand(view_, IDC_VIEW_SEMESTER_LIST, CBN_SELENDOK);
    EXPECT_EQ(CurrentSemester, 1);
    for (int row = 0; row < 7; ++row) {
        EXPECT_EQ(ControlText(view_, SubjectCell[row]), std::string(names[row]) + "\n");
        EXPECT_EQ(ControlText(view_, CreditCell[row]), "1");
        EXPECT_EQ(ControlText(view_, GradeCell[row]), "A");
    }
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "2.40");  // (7 * 4 + 2 * 4) / 15
    EXPECT_EQ(ControlText(view_, IDC_VIEW_CGPA), "2.27"); // (16 + 36 + 7) / (4 + 15 + 7)
    EXPECT_EQ(Strip(), RestingStrip(2));
}

TEST_F(ResultsViewTest, AnEmptySubjectUsesUpItsRowAndShorterSemestersClearOldRows) {
    // An empty subject line keeps its line feed; a subject that starts with a NUL byte is empty.
    Open(Record(1, "", 0, 0) + Record(1, std::string(1, '\0'), 0, 9) + Record(1, "Algebra", 3, 3) +
         Record(2, "Optics", 1, 2));
    RefreshResultsView(view_);
    EXPECT_EQ(ControlText(view_, SubjectCell[0]), "\n");
    EXPECT_EQ(ControlText(view_, CreditCell[0]), "1");
    EXPECT_EQ(ControlText(view_, GradeCell[0]), "A");
    EXPECT_EQ(ControlText(view_, SubjectCell[1]), "");
    EXPECT_EQ(ControlText(view_, CreditCell[1]), "");
    EXPECT_EQ(ControlText(view_, GradeCell[1]), "");
    EXPECT_EQ(ControlText(view_, SubjectCell[2]), "Algebra\n");
    EXPECT_EQ(ControlText(view_, CreditCell[2]), "4");
    EXPECT_EQ(ControlText(view_, GradeCell[2]), "B");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "2.83"); // (4 + 1 + 12) / 6: the blank row counts

    SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL, 1, 0);
    SendCommand(view_, IDC_VIEW_SEMESTER_LIST, CBN_SELENDOK);
    EXPECT_EQ(ControlText(view_, SubjectCell[0]), "Optics\n");
    EXPECT_EQ(ControlText(view_, GradeCell[0]), "B+");
    EXPECT_EQ(ControlText(view_, SubjectCell[1]), "") << "the old rows are cleared";
    EXPECT_EQ(ControlText(view_, SubjectCell[2]), "");

    SetDlgItemTextA(view_, SubjectCell[0], "stale");
    SendCommand(view_, IDC_VIEW_SEMESTER_LIST, CBN_SELENDOK); // the same semester again
    EXPECT_EQ(ControlText(view_, SubjectCell[0]), "Optics\n");
}

TEST_F(ResultsViewTest, AMissingFileIsReportedOnStandardOutputOnly) {
    const std::string output = CaptureStandardOutput([this] {
        OpenOn(path_ + ".missing");
        PumpMessages();
    });
    EXPECT_EQ(output, "Error opening file.\n");
    EXPECT_TRUE(MessageBoxAnswerer::Seen().empty());
    Press(30, 200);
    EXPECT_TRUE(ControlVisible(view_, IDC_VIEW_NORMAL));
    EXPECT_EQ(VisibleVerdicts(view_), 1);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_CGPA), "");
    EXPECT_EQ(ControlText(view_, SubjectCell[0]), "");

    const std::string quiet = CaptureStandardOutput([this] { Open(""); });
    EXPECT_EQ(quiet, "") << "an empty file is no error";
}

TEST_F(ResultsViewTest, AFileOfMoreThanAHundredSubjectsIsShownCutAndSaidSoOncePerOpening) {
    std::string file;
    for (int i = 1; i <= 100; ++i) {
        file += Record(1, "Subject " + std::to_string(i), 0, 0);
    }
    file += Record(1, "Hundred and first", 3, 9);
    Open(file);
    ASSERT_EQ(MessageBoxAnswerer::Seen().size(), 1u);
    EXPECT_EQ(MessageBoxAnswerer::Seen()[0].Caption, "WARNING");
    EXPECT_EQ(MessageBoxAnswerer::Seen()[0].Text, MoreThanCapacityWarning);
    RefreshResultsView(view_);
    PumpMessages();
    EXPECT_EQ(ControlText(view_, SubjectCell[6]), "Subject 7\n");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "4.00") << "the 101st subject is not counted";
    EXPECT_EQ(MessageBoxAnswerer::Seen().size(), 1u) << "a refresh does not warn again";

    OpenOn(path_);
    EXPECT_EQ(MessageBoxAnswerer::Seen().size(), 2u) << "each opening warns once";
}

TEST_F(ResultsViewTest, SubjectsWithNumbersOutOfRangeAreLeftOutAndSaidSo) {
    Open(Record(1, "Algebra", 3, 0) + Record(1, "Broken", 7, 0) + Record(1, "Worse", 0, 12) +
         Record(1, "Chemistry", 0, 3));
    ASSERT_EQ(MessageBoxAnswerer::Seen().size(), 1u);
    EXPECT_EQ(MessageBoxAnswerer::Seen()[0].Caption, "WARNING");
    char expected[256];
    std::snprintf(expected, sizeof expected, PassedOverManyWarning, 2);
    EXPECT_EQ(MessageBoxAnswerer::Seen()[0].Text, expected);
    RefreshResultsView(view_);
    std::string shown;
    for (int row = 0; row < 7; ++row) {
        shown += ControlText(view_, SubjectCell[row]);
    }
    EXPECT_EQ(shown, "Algebra\nChemistry\n");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "3.80"); // (16 + 3) / 5

    // A file cut short after a label and a subject: that record is left out.
    Open(Record(1, "Algebra", 3, 0) + "Semester 1\r\nHalf");
    ASSERT_EQ(MessageBoxAnswerer::Seen().size(), 2u);
    EXPECT_EQ(MessageBoxAnswerer::Seen()[1].Text, PassedOverOneWarning);
    RefreshResultsView(view_);
    EXPECT_EQ(ControlText(view_, SubjectCell[1]), "");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "4.00");
}

TEST_F(ResultsViewTest, AddSubjectReArmsTheAnimationStopsTheTimerAndReleasesTheFonts) {
    WriteFileBytes(path_, Record(1, "Algebra", 3, 0));
    SetResultFilePath(path_);
    view_ = CreateDialogParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_RESULTS_VIEW), nullptr,
                               DialogFunc3, 0);
    ASSERT_NE(view_, nullptr);
    const UINT_PTR timer = ViewTimerId;
    AnimationPhase = PhaseBlinkOn;
    AnimationStep = 1;
    SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL, 4, 0);
    SendCommand(view_, IDC_VIEW_ADD_SUBJECT);
    EXPECT_EQ(CurrentSemester, 4);
    EXPECT_EQ(AnimationPhase, PhaseRunRight);
    EXPECT_EQ(AnimationStep, 0);
    EXPECT_FALSE(KillTimer(nullptr, timer)) << "the timer was still running";
    EXPECT_FALSE(IsWindowVisible(view_)) << "the view has ended";
    EXPECT_EQ(LiveLabelFonts(), fontsBefore_) << "fonts released on leaving";
    EXPECT_FALSE(TakeQuitMessage());
}

TEST_F(ResultsViewTest, ExitEscapeAndTheCloseBoxEndTheProgramAndReleaseTheFonts) {
    for (int id : {IDC_EXIT_BUTTON, IDCANCEL}) {
        Open(Record(1, "Algebra", 3, 0));
        ASSERT_EQ(LiveLabelFonts() - fontsBefore_, ResultsViewFontCount);
        SendCommand(view_, id);
        EXPECT_TRUE(TakeQuitMessage()) << "control " << id;
        EXPECT_EQ(LiveLabelFonts(), fontsBefore_) << "control " << id;
        EXPECT_TRUE(IsWindowVisible(view_)) << "the quit message, not the view, ends the loop";
    }
    Open("");
    SendMessageA(view_, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_TRUE(TakeQuitMessage());
}

} // namespace
