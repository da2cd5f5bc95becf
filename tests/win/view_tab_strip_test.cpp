// The semester tab strip: the hit test on its fixed client-pixel rectangles (and their scaling
// to other dialog base units), the hover look and the leave step, and presses.
#include "view_test_fixture.h"

namespace {

struct Bounds {
    int Left;
    int Right;
    int Top;
    int Bottom;
};

// The strip's rectangles in client pixels at 1.5 x 1.625 pixels per dialog unit.
constexpr Bounds Nominal[TAB_COUNT] = {
    {102, 122, 10, 36}, {132, 149, 11, 34}, {160, 177, 11, 34}, {188, 205, 10, 33},
    {217, 233, 10, 34}, {245, 261, 10, 33}, {268, 289, 10, 31}, {297, 316, 10, 33},
};

// A semester other than tab k's.
int OtherSemester(int tab) {
    return tab % TAB_COUNT;
}

TEST(TabHitTest, BoundaryPixelsAtTheNominalScale) {
    // Tab 1 with semester 4 current.
    EXPECT_EQ(HitTab(102, 10, 3, NominalScale), 1);
    EXPECT_EQ(HitTab(122, 36, 3, NominalScale), 1);
    EXPECT_EQ(HitTab(101, 20, 3, NominalScale), 0);
    EXPECT_EQ(HitTab(123, 20, 3, NominalScale), 0);
    EXPECT_EQ(HitTab(110, 9, 3, NominalScale), 0);
    EXPECT_EQ(HitTab(110, 37, 3, NominalScale), 0);

    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        const Bounds& b = Nominal[tab - 1];
        const int s = OtherSemester(tab);
        SCOPED_TRACE("tab " + std::to_string(tab));
        EXPECT_EQ(HitTab(b.Left, b.Top, s, NominalScale), tab);
        EXPECT_EQ(HitTab(b.Right, b.Top, s, NominalScale), tab);
        EXPECT_EQ(HitTab(b.Left, b.Bottom, s, NominalScale), tab);
        EXPECT_EQ(HitTab(b.Right, b.Bottom, s, NominalScale), tab);
        EXPECT_EQ(HitTab(b.Left - 1, b.Top, s, NominalScale), 0);
        EXPECT_EQ(HitTab(b.Right + 1, b.Bottom, s, NominalScale), 0);
        EXPECT_EQ(HitTab(b.Left, b.Top - 1, s, NominalScale), 0);
        EXPECT_EQ(HitTab(b.Right, b.Bottom + 1, s, NominalScale), 0);
        const TabRectangle r = TabHitRectangle(tab, NominalScale);
        EXPECT_EQ(r.Left, b.Left);
        EXPECT_EQ(r.Right, b.Right);
        EXPECT_EQ(r.Top, b.Top);
        EXPECT_EQ(r.Bottom, b.Bottom);
    }
}

TEST(TabHitTest, TheCurrentTabIsNeverHitAndGapsBelongToNoTab) {
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        const Bounds& b = Nominal[tab - 1];
        const int x = (b.Left + b.Right) / 2;
        const int y = (b.Top + b.Bottom) / 2;
        EXPECT_EQ(HitTab(x, y, tab - 1, NominalScale), 0) << "tab " << tab;
        EXPECT_EQ(HitTab(x, y, -1, NominalScale), tab) << "tab " << tab;
    }
    EXPECT_EQ(HitTab(127, 20, 7, NominalScale), 0);    // between tabs 1 and 2
    EXPECT_EQ(HitTab(264, 20, 7, NominalScale), 0);    // between tabs 6 and 7
    EXPECT_EQ(HitTab(0xFFFF, 20, 7, NominalScale), 0); // far right (an unsigned -1)
}

TEST(TabHitTest, RectanglesFollowWiderBaseUnits) {
    // 1.75 pixels per horizontal dialog unit: each x bound scaled by 7/6, y unchanged.
    const DialogScale wide{7, 13};
    const TabRectangle eight = TabHitRectangle(8, wide);
    EXPECT_EQ(eight.Left, 347); // 297 * 7 / 6 = 346.5, rounded
    EXPECT_EQ(eight.Right, 369);
    EXPECT_EQ(eight.Top, 10);
    EXPECT_EQ(eight.Bottom, 33);
    // Tab 7's pictures start at 179 dialog units = 313 pixels: a press there is on tab 7.
    EXPECT_EQ(HitTab(315, 20, 0, wide), 7);
    EXPECT_EQ(HitTab(315, 20, 0, NominalScale), 8) << "the fixed numbers would choose tab 8";
    const TabRectangle taller = TabHitRectangle(1, DialogScale{6, 26});
    EXPECT_EQ(taller.Top, 20);
    EXPECT_EQ(taller.Bottom, 72);
}

using TabStripTest = ViewTest;

TEST_F(TabStripTest, APressAtTheCentreOfEveryPictureOfATabChoosesThatTab) {
    Open(Record(1, "Algebra", 3, 0));
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        for (int picture : {SelectedPicture(tab), UnselectedPicture(tab), HoverPicture(tab)}) {
            CurrentSemester = OtherSemester(tab);
            const POINT centre = CentreOf(picture);
            Press(centre.x, centre.y);
            EXPECT_EQ(CurrentSemester, tab - 1)
                << "picture " << picture << " at " << centre.x << "," << centre.y;
            EXPECT_EQ(ListSelection(), tab - 1);
        }
        EXPECT_EQ(Strip().substr(2 * (tab - 1), 1), "S");
    }
}

TEST_F(TabStripTest, HoverLookFollowsThePointerAndTheLeaveStepRepeats) {
    Open(Record(1, "Algebra", 3, 0));
    MoveAway();
    EXPECT_EQ(Strip(), RestingStrip(1)) << "no hover yet: a movement outside does nothing";
    EXPECT_EQ(HoverTab, 0);

    MoveToTab(3);
    EXPECT_EQ(Tab(3), "H");
    EXPECT_EQ(HoverTab, 3);
    MoveToTab(3);
    EXPECT_EQ(Tab(3), "H");

    MoveToTab(5); // straight into another tab: tab 3 keeps its hover picture
    EXPECT_EQ(Tab(3), "H");
    EXPECT_EQ(Tab(5), "H");
    EXPECT_EQ(HoverTab, 5);

    MoveAway();
    EXPECT_EQ(Tab(5), "U");
    EXPECT_EQ(Tab(3), "H") << "only HoverTab's tab takes the leave step";
    EXPECT_EQ(HoverTab, 5) << "HoverTab is never reset";

    RefreshResultsView(view_);
    EXPECT_EQ(Tab(3), "UH") << "a refresh shows the unselected picture beside the hover one";

    MoveToTab(1); // the current tab counts as outside: the leave step for tab 5 again
    EXPECT_EQ(Tab(1), "S");
    EXPECT_EQ(HoverTab, 5);
    ShowWindow(GetDlgItem(view_, UnselectedPicture(5)), SW_HIDE);
    MoveAway();
    EXPECT_EQ(Tab(5), "U") << "the leave step is taken again on every movement";
}

TEST_F(TabStripTest, PressOnAHoveredTabMakesItCurrentAndTheLeaveStepShowsBothPictures) {
    Open(Record(2, "Optics", 1, 2));
    MoveToTab(2);
    PressTab(2);
    EXPECT_EQ(CurrentSemester, 1);
    EXPECT_EQ(ListSelection(), 1);
    EXPECT_EQ(Tab(2), "SH");
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Optics\n");
    EXPECT_EQ(HoverTab, 2);
    MoveToTab(2); // now the current tab: outside every tab
    EXPECT_EQ(Tab(2), "SU");
    RefreshResultsView(view_);
    EXPECT_EQ(Tab(2), "S");
}

TEST_F(TabStripTest, EveryPressRefreshesButOnlyATabChangesTheSemester) {
    Open(Record(1, "Algebra", 3, 0) + Record(2, "Optics", 1, 2));
    Press(127, 20); // a gap
    EXPECT_EQ(CurrentSemester, 0);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Algebra\n");
    EXPECT_EQ(Strip(), RestingStrip(1));

    SetDlgItemTextA(view_, IDC_VIEW_ROW1_SUBJECT, "stale");
    PressTab(1); // the current tab: only a refresh
    EXPECT_EQ(CurrentSemester, 0);
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Algebra\n");

    for (UINT message : {WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONDOWN}) {
        const POINT p = InsideTab(2);
        SendMessageA(view_, message, 0, MAKELPARAM(p.x, p.y));
        EXPECT_EQ(CurrentSemester, 0) << "message " << message;
    }
    MoveToTab(3);
    PressTab(2);
    EXPECT_EQ(CurrentSemester, 1);
    EXPECT_EQ(HoverTab, 3) << "a press leaves HoverTab alone";
    EXPECT_EQ(ControlText(view_, IDC_VIEW_ROW1_SUBJECT), "Optics\n");
}

TEST_F(TabStripTest, HoverTabSurvivesReopeningTheView) {
    Open(Record(1, "Algebra", 3, 0));
    MoveToTab(7);
    EXPECT_EQ(HoverTab, 7);
    SendCommand(view_, IDC_VIEW_ADD_SUBJECT);
    OpenOn(path_);
    EXPECT_EQ(HoverTab, 7);
    EXPECT_EQ(Tab(7), "U");
    ShowWindow(GetDlgItem(view_, UnselectedPicture(7)), SW_HIDE);
    MoveAway();
    EXPECT_EQ(Tab(7), "U");

    HoverTab = 1; // a leave step for tab 1 beside the start arrangement's selected picture
    MoveAway();
    EXPECT_EQ(Tab(1), "SU");
}

} // namespace
