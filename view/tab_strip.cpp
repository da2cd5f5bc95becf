#include "tab_strip.h"

#include <array>

#include "app_state.h"

namespace {

// The strip's rectangles at the nominal scale, tab 1 to tab 8.
constexpr std::array<TabRectangle, TAB_COUNT> NominalRectangles = {{
    {102, 122, 10, 36},
    {132, 149, 11, 34},
    {160, 177, 11, 34},
    {188, 205, 10, 33},
    {217, 233, 10, 34},
    {245, 261, 10, 33},
    {268, 289, 10, 31},
    {297, 316, 10, 33},
}};

void Show(HWND dialog, int id, bool visible) {
    ShowWindow(GetDlgItem(dialog, id), visible ? SW_SHOWNORMAL : SW_HIDE);
}

} // namespace

TabRectangle TabHitRectangle(int tab, DialogScale scale) {
    const TabRectangle& nominal = NominalRectangles.at(static_cast<std::size_t>(tab - 1));
    const auto scaleX = [&](int v) { return MulDiv(v, scale.BaseX, NominalScale.BaseX); };
    const auto scaleY = [&](int v) { return MulDiv(v, scale.BaseY, NominalScale.BaseY); };
    return {scaleX(nominal.Left), scaleX(nominal.Right), scaleY(nominal.Top),
            scaleY(nominal.Bottom)};
}

int HitTab(int x, int y, int currentSemester, DialogScale scale) {
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        const TabRectangle r = TabHitRectangle(tab, scale);
        if (x >= r.Left && x <= r.Right && y >= r.Top && y <= r.Bottom &&
            tab - 1 != currentSemester) {
            return tab;
        }
    }
    return 0;
}

void ShowPointerOverTabs(HWND dialog, int x, int y) {
    const int tab = HitTab(x, y, CurrentSemester, ScaleOf(dialog));
    if (tab != 0) {
        Show(dialog, UnselectedPicture(tab), false);
        Show(dialog, SelectedPicture(tab), false);
        Show(dialog, HoverPicture(tab), true);
        HoverTab = tab;
        return;
    }
    if (HoverTab >= 1 && HoverTab <= TAB_COUNT) {
        Show(dialog, HoverPicture(HoverTab), false);
        Show(dialog, UnselectedPicture(HoverTab), true);
    }
}

void ShowStartArrangement(HWND dialog) {
    Show(dialog, UnselectedPicture(1), false);
    for (int tab = 2; tab <= TAB_COUNT; ++tab) {
        Show(dialog, UnselectedPicture(tab), true);
    }
    Show(dialog, SelectedPicture(1), true);
    for (int tab = 2; tab <= TAB_COUNT; ++tab) {
        Show(dialog, SelectedPicture(tab), false);
    }
}

void ShowRestingArrangement(HWND dialog, int semester) {
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        Show(dialog, UnselectedPicture(tab), tab - 1 != semester);
    }
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        Show(dialog, SelectedPicture(tab), tab - 1 == semester);
    }
}
