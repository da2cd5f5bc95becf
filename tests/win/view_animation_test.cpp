// The tab strip animation, tick by tick, on the real results view: the opening animation, the
// refresh that ends it, the blink, and how pointer movement and presses steer it.
#include <algorithm>

#include "view_test_fixture.h"

namespace {

// Tabs that show their selected picture after tick t of an undisturbed opening (t = 0..29),
// as a strip: a single picture runs right (ticks 1-7) and back (8-14), then tabs fill from the
// left (15-21) and empty from the right (22-29).
std::string UndisturbedStrip(int t) {
    auto selected = [t](int tab) {
        if (t <= 7) {
            return tab == t + 1;
        }
        if (t <= 14) {
            return tab == 8 - (t - 7);
        }
        if (t <= 21) {
            return tab <= t - 13;
        }
        return tab <= 29 - t;
    };
    std::string strip;
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        strip += std::string(tab > 1 ? " " : "") + (selected(tab) ? "S" : "U");
    }
    return strip;
}

std::string TwoSemesters() {
    return Record(1, "Algebra", 3, 0) + Record(3, "Physics", 2, 3) + Record(3, "Drawing", 0, 6);
}

using AnimationTest = ViewTest;

TEST_F(AnimationTest, OpeningAnimationRunsItsThirtyTicksThenRefreshesAndBlinks) {
    CurrentSemester = 2;
    Open(TwoSemesters());
    EXPECT_EQ(Strip(), UndisturbedStrip(0)) << "start arrangement, whatever the semester";
    for (int t = 1; t <= 29; ++t) {
        Tick();
        ASSERT_EQ(Strip(), UndisturbedStrip(t)) << "after tick " << t;
        ASSERT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "") << "rows filled on tick " << t;
        ASSERT_FALSE(ControlVisible(view_, IDC_VIEW_NORMAL)) << "verdict shown on tick " << t;
        if (t == 7) {
            EXPECT_EQ(AnimationPhase, PhaseRunLeft);
        }
        if (t == 14) {
            EXPECT_EQ(AnimationPhase, PhaseFill);
            EXPECT_EQ(AnimationStep, 0);
        }
        if (t == 21) {
            EXPECT_EQ(AnimationPhase, PhaseEmpty);
            EXPECT_EQ(AnimationStep, 8);
        }
    }
    EXPECT_EQ(AnimationPhase, PhaseRefresh);
    EXPECT_EQ(AnimationStep, 1);

    Tick(); // 30: the refresh
    EXPECT_EQ(Strip(), RestingStrip(3));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Physics\n");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT + 1), "Drawing\n");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "2.75");  // (9 + 2) / 4
    EXPECT_EQ(ControlText(view_, IDC_VIEW_CGPA), "3.38"); // (16 + 11) / 8
    EXPECT_TRUE(ControlVisible(view_, IDC_VIEW_BAD));
    EXPECT_EQ(AnimationPhase, PhaseBlinkOff);

    for (int t = 31; t <= 36; ++t) {
        Tick();
        EXPECT_EQ(Strip(), t % 2 == 1 ? "U U U U U U U U" : RestingStrip(3)) << "tick " << t;
    }
    EXPECT_EQ(AnimationStep, 1) << "the step keeps its last value through the blink";
}

TEST_F(AnimationTest, OnlyTimerMessagesMoveTheAnimation) {
    Open(TwoSemesters());
    for (UINT message : {WM_PAINT, WM_TIMER + 1, WM_USER}) {
        TabAnimationTimerProc(nullptr, message, ViewTimerId, 0);
        EXPECT_EQ(Strip(), UndisturbedStrip(0)) << "message " << message;
        EXPECT_EQ(AnimationPhase, PhaseRunRight);
    }
    AnimationPhase = PhaseRefresh;
    TabAnimationTimerProc(nullptr, WM_USER, ViewTimerId, 0);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "") << "refreshed by a non-timer message";
    EXPECT_EQ(AnimationPhase, PhaseRefresh);
}

TEST_F(AnimationTest, BlinkWithSemesterOutOfRangeAlternatesWithoutTouchingPictures) {
    Open(TwoSemesters());
    Tick(30);
    const std::string before = Strip();
    CurrentSemester = 9;
    Tick();
    EXPECT_EQ(AnimationPhase, PhaseBlinkOn);
    Tick();
    EXPECT_EQ(AnimationPhase, PhaseBlinkOff);
    CurrentSemester = -1;
    Tick();
    EXPECT_EQ(AnimationPhase, PhaseBlinkOn);
    EXPECT_EQ(Strip(), before);
}

TEST_F(AnimationTest, PressMovesTheBlinkToTheChosenTabAndTheBlinkEndsBothVisible) {
    Open(TwoSemesters());
    Tick(31); // blink: tab 1 shows its unselected picture
    MoveToTab(5);
    PressTab(5);
    EXPECT_EQ(CurrentSemester, 4);
    EXPECT_EQ(Strip(), "U U U U SH U U U") << "refresh leaves the hover picture the move showed";
    Tick(); // phase 7: the selected picture of the new tab
    EXPECT_EQ(Tab(1), "U") << "the old current tab is left alone";
    EXPECT_EQ(Tab(5), "SH");
    MoveAway(); // leave step on tab 5, now current: selected and unselected both visible
    EXPECT_EQ(Tab(5), "SU");
    Tick(); // phase 6 sets both pictures
    EXPECT_EQ(Tab(5), "U");
    Tick();
    EXPECT_EQ(Tab(5), "S");
}

TEST_F(AnimationTest, HoverOnTheMovingPictureStopsTheAnimationUntilARefresh) {
    Open(TwoSemesters());
    Tick(3); // tab 4 holds the moving picture
    MoveToTab(4);
    EXPECT_EQ(Tab(4), "H");
    EXPECT_EQ(HoverTab, 4);
    const std::string still = Strip();
    Tick(5);
    EXPECT_EQ(Strip(), still) << "the animation stands still";
    MoveAway(); // the leave step shows the unselected picture only
    EXPECT_EQ(Tab(4), "U");
    Tick(3);
    EXPECT_EQ(Strip(), "U U U U U U U U") << "the leave step does not restart it";
    EXPECT_EQ(AnimationPhase, PhaseRunRight);

    // A press refreshes: the resting arrangement for semester 1 lets phase 1 go on from tab 1.
    Press(30, 200);
    EXPECT_EQ(Strip(), RestingStrip(1));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Algebra\n");
    Tick();
    EXPECT_EQ(Strip(), RestingStrip(2));
}

TEST_F(AnimationTest, HoverOnATabNotYetReachedLetsThePicturePassBesideIt) {
    Open(TwoSemesters());
    MoveToTab(6);
    Tick(5); // tab 6 receives the moving picture beside its hover picture
    EXPECT_EQ(Tab(6), "SH");
    Tick();
    EXPECT_EQ(Tab(6), "UH") << "passed on: tab 6 shows its unselected picture under the hover";
    EXPECT_EQ(Tab(7), "S");
    EXPECT_EQ(AnimationPhase, PhaseRunRight);
}

TEST_F(AnimationTest, PressDuringTheRunGoesOnFromTheChosenTabOrStandsStillAtTheEnds) {
    Open(TwoSemesters());
    Tick(2);
    PressTab(6); // phase 1: goes on to the right from tab 6
    EXPECT_EQ(CurrentSemester, 5);
    EXPECT_EQ(ListSelection(), 5);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_GPA), "") << "semester 6 has no credits";
    EXPECT_TRUE(ControlVisible(view_, IDC_VIEW_NORMAL));
    Tick();
    EXPECT_EQ(Strip(), RestingStrip(7));

    PressTab(8); // phase 1 with tab 8: stands still
    Tick(4);
    EXPECT_EQ(AnimationPhase, PhaseRunRight);
    EXPECT_EQ(Strip(), RestingStrip(8));

    AnimationPhase = PhaseRunLeft; // phase 2 from tab 1: stands still too
    PressTab(1);
    Tick(3);
    EXPECT_EQ(AnimationPhase, PhaseRunLeft);
    EXPECT_EQ(Strip(), RestingStrip(1));
}

TEST_F(AnimationTest, HoverLeftOfTheFillingTabLetsItGoOnAndEmptyingStopsThere) {
    Open(TwoSemesters());
    Tick(17); // phase 3, step 4: tabs 1..4 selected
    ASSERT_EQ(AnimationPhase, PhaseFill);
    ASSERT_EQ(AnimationStep, 4);
    MoveToTab(2); // takes tab 2's selected picture away
    EXPECT_EQ(Tab(2), "H");
    Tick(4); // tabs 5..8 fill
    EXPECT_EQ(AnimationPhase, PhaseEmpty);
    Tick(6); // tabs 8..3 empty
    EXPECT_EQ(AnimationStep, 2);
    Tick(5);
    EXPECT_EQ(AnimationPhase, PhaseEmpty) << "phase 4 stands still on tab 2";
    EXPECT_EQ(AnimationStep, 2);
    EXPECT_EQ(Tab(1), "S");
}

TEST_F(AnimationTest, RefreshInTheFillPhaseGoesOnOnlyFromTheWaitedTab) {
    Open(TwoSemesters());
    Tick(14); // phase 3, step 0: waits for tab 1
    CurrentSemester = 2;
    RefreshResultsView(view_); // tab 3 at rest: tab 1's picture gone
    Tick(3);
    EXPECT_EQ(Strip(), RestingStrip(3)) << "phase 3 stands still";
    CurrentSemester = 0;
    RefreshResultsView(view_);
    Tick();
    EXPECT_EQ(Strip(), "S S U U U U U U");
    EXPECT_EQ(AnimationStep, 2);
}

TEST_F(AnimationTest, ReopeningAfterAddSubjectReplaysFromTabOneAndEndsOnTheChosenSemester) {
    Open(TwoSemesters());
    Tick(40);
    SendDlgItemMessageA(view_, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL, 2, 0);
    SendCommand(view_, IDC_VIEW_ADD_SUBJECT);
    EXPECT_EQ(CurrentSemester, 2);
    EXPECT_EQ(AnimationPhase, PhaseRunRight);
    EXPECT_EQ(AnimationStep, 0);

    OpenOn(path_);
    EXPECT_EQ(ListSelection(), 2);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_SEMESTER_LIST), "3");
    EXPECT_EQ(Strip(), RestingStrip(1));
    Tick(29);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "");
    Tick();
    EXPECT_EQ(Strip(), RestingStrip(3));
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Physics\n");
    Tick();
    EXPECT_EQ(Tab(3), "U");
}

// Closes the About screen once the view's own timer has ticked behind it for a while.
VOID CALLBACK CloseAboutLater(HWND, UINT, UINT_PTR timerId, DWORD) {
    KillTimer(nullptr, timerId);
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (GetDlgItem(window, IDC_ABOUT_PICTURE) != nullptr) {
                PostMessageA(window, WM_COMMAND, IDOK, 0);
            }
            return TRUE;
        },
        0);
}

TEST_F(AnimationTest, TheRealTimerKeepsAnimatingBehindTheAboutScreen) {
    WriteFileBytes(path_, TwoSemesters());
    SetResultFilePath(path_);
    view_ = CreateDialogParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_RESULTS_VIEW), nullptr,
                               DialogFunc3, 0);
    ASSERT_NE(ViewTimerId, 0u);
    SetTimer(nullptr, 0, 1200, CloseAboutLater);
    const DWORD start = GetTickCount();
    SendCommand(view_, IDC_ABOUT_BUTTON); // returns when the About screen closes
    EXPECT_GE(GetTickCount() - start, 1000u);
    KillTimer(nullptr, ViewTimerId);
    const std::string strip = Strip();
    EXPECT_EQ(Tab(1), "U") << "the moving picture has not left tab 1: " << strip;
    EXPECT_EQ(std::count(strip.begin(), strip.end(), 'S'), 1) << strip;
}

} // namespace
