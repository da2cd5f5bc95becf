// The semester tab strip across the top of the results view: eight tabs, each drawn by three
// overlapping pictures (selected, unselected, hover). A tab has no window of its own; the
// screen's procedure hit-tests pointer positions against fixed client-pixel rectangles.
#pragma once

#include <windows.h>

#include "resource.h"
#include "screen_pictures.h"

// Picture ids of tab k (1..8).
constexpr int SelectedPicture(int tab) {
    return IDC_TAB_SELECTED_BASE + tab;
}
constexpr int UnselectedPicture(int tab) {
    return IDC_TAB_UNSELECTED_BASE + tab;
}
constexpr int HoverPicture(int tab) {
    return IDC_TAB_HOVER_BASE + tab;
}

// A hit rectangle in client pixels, both bounds inclusive.
struct TabRectangle {
    int Left;
    int Right;
    int Top;
    int Bottom;
};

// The rectangle of tab k (1..8) at the given scale: each bound of the nominal rectangle
// multiplied by actual over nominal pixels per dialog unit, rounded to the nearest pixel.
// At the nominal scale these are exactly the strip's fixed pixel numbers.
TabRectangle TabHitRectangle(int tab, DialogScale scale);

// The tab (1..8) at client position (x, y), or 0 when none is hit. Tabs are tried from 1 to 8;
// the tab of currentSemester is never hit.
int HitTab(int x, int y, int currentSemester, DialogScale scale);

// Pointer movement: the hover look for a hit tab, else the leave step for HoverTab.
void ShowPointerOverTabs(HWND dialog, int x, int y);

// Tab 1 selected, the others unselected, whatever the current semester: the view's opening.
void ShowStartArrangement(HWND dialog);

// Only the tab of semester (0..7) shows its selected picture, the others their unselected ones.
// The hover pictures are left as they are.
void ShowRestingArrangement(HWND dialog, int semester);
