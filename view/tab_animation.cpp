#include "tab_animation.h"

#include <array>

#include "app_state.h"
#include "results_view.h"
#include "tab_strip.h"

namespace {

constexpr int AnyStep = -1; // the row does not look at AnimationStep
constexpr int Keep = -1;    // the row leaves the phase or step unchanged

struct PictureAction {
    int Id; // 0: no action
    bool Visible;
};

// One step of the opening animation: taken when the phase and step match and the tested
// selected picture is visible; its actions run left to right.
struct AnimationRow {
    int Phase;
    int Step;
    int TestedPicture;
    std::array<PictureAction, 4> Actions;
    int NewPhase;
    int NewStep;
};

constexpr PictureAction ShowPic(int id) {
    return {id, true};
}
constexpr PictureAction HidePic(int id) {
    return {id, false};
}
constexpr PictureAction None() {
    return {0, false};
}

constexpr int S(int tab) {
    return SelectedPicture(tab);
}
constexpr int U(int tab) {
    return UnselectedPicture(tab);
}

// The selected picture runs right from tab 1 to tab 8 (phase 1) and back to tab 1 (phase 2),
// then tabs 2..8 fill one by one (phase 3) and empty from 8 to 1 (phase 4).
constexpr std::array<AnimationRow, 29> OpeningRows = {{
    {1, AnyStep, S(1), {ShowPic(U(1)), HidePic(U(2)), HidePic(S(1)), ShowPic(S(2))}, Keep, Keep},
    {1, AnyStep, S(2), {ShowPic(U(2)), HidePic(U(3)), HidePic(S(2)), ShowPic(S(3))}, Keep, Keep},
    {1, AnyStep, S(3), {ShowPic(U(3)), HidePic(U(4)), HidePic(S(3)), ShowPic(S(4))}, Keep, Keep},
    {1, AnyStep, S(4), {ShowPic(U(4)), HidePic(U(5)), HidePic(S(4)), ShowPic(S(5))}, Keep, Keep},
    {1, AnyStep, S(5), {ShowPic(U(5)), HidePic(U(6)), HidePic(S(5)), ShowPic(S(6))}, Keep, Keep},
    {1, AnyStep, S(6), {ShowPic(U(6)), HidePic(U(7)), HidePic(S(6)), ShowPic(S(7))}, Keep, Keep},
    {1, AnyStep, S(7), {ShowPic(U(7)), HidePic(U(8)), HidePic(S(7)), ShowPic(S(8))}, 2, Keep},
    {2, AnyStep, S(8), {ShowPic(U(8)), HidePic(U(7)), HidePic(S(8)), ShowPic(S(7))}, Keep, Keep},
    {2, AnyStep, S(7), {ShowPic(U(7)), HidePic(U(6)), HidePic(S(7)), ShowPic(S(6))}, Keep, Keep},
    {2, AnyStep, S(6), {ShowPic(U(6)), HidePic(U(5)), HidePic(S(6)), ShowPic(S(5))}, Keep, Keep},
    {2, AnyStep, S(5), {ShowPic(U(5)), HidePic(U(4)), HidePic(S(5)), ShowPic(S(4))}, Keep, Keep},
    {2, AnyStep, S(4), {ShowPic(U(4)), HidePic(U(3)), HidePic(S(4)), ShowPic(S(3))}, Keep, Keep},
    {2, AnyStep, S(3), {ShowPic(U(3)), HidePic(U(2)), HidePic(S(3)), ShowPic(S(2))}, Keep, Keep},
    {2, AnyStep, S(2), {ShowPic(U(2)), HidePic(U(1)), HidePic(S(2)), ShowPic(S(1))}, 3, Keep},
    {3, 0, S(1), {HidePic(U(2)), ShowPic(S(2)), None(), None()}, Keep, 2},
    {3, 2, S(2), {HidePic(U(3)), ShowPic(S(3)), None(), None()}, Keep, 3},
    {3, 3, S(3), {HidePic(U(4)), ShowPic(S(4)), None(), None()}, Keep, 4},
    {3, 4, S(4), {HidePic(U(5)), ShowPic(S(5)), None(), None()}, Keep, 5},
    {3, 5, S(5), {HidePic(U(6)), ShowPic(S(6)), None(), None()}, Keep, 6},
    {3, 6, S(6), {HidePic(U(7)), ShowPic(S(7)), None(), None()}, Keep, 7},
    {3, 7, S(7), {HidePic(U(8)), ShowPic(S(8)), None(), None()}, 4, 8},
    {4, 8, S(8), {ShowPic(U(8)), HidePic(S(8)), None(), None()}, Keep, 7},
    {4, 7, S(7), {ShowPic(U(7)), HidePic(S(7)), None(), None()}, Keep, 6},
    {4, 6, S(6), {ShowPic(U(6)), HidePic(S(6)), None(), None()}, Keep, 5},
    {4, 5, S(5), {ShowPic(U(5)), HidePic(S(5)), None(), None()}, Keep, 4},
    {4, 4, S(4), {ShowPic(U(4)), HidePic(S(4)), None(), None()}, Keep, 3},
    {4, 3, S(3), {ShowPic(U(3)), HidePic(S(3)), None(), None()}, Keep, 2},
    {4, 2, S(2), {ShowPic(U(2)), HidePic(S(2)), None(), None()}, Keep, 1},
    {4, 1, S(1), {ShowPic(U(1)), HidePic(S(1)), None(), None()}, 5, Keep},
}};

bool PictureVisible(HWND dialog, int id) {
    return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE;
}

void SetPicture(HWND dialog, const PictureAction& action) {
    if (action.Id != 0) {
        ShowWindow(GetDlgItem(dialog, action.Id), action.Visible ? SW_SHOWNORMAL : SW_HIDE);
    }
}

bool TakeOpeningRow(HWND dialog) {
    for (const AnimationRow& row : OpeningRows) {
        if (row.Phase != AnimationPhase || (row.Step != AnyStep && row.Step != AnimationStep) ||
            !PictureVisible(dialog, row.TestedPicture)) {
            continue;
        }
        for (const PictureAction& action : row.Actions) {
            SetPicture(dialog, action);
        }
        if (row.NewPhase != Keep) {
            AnimationPhase = row.NewPhase;
        }
        if (row.NewStep != Keep) {
            AnimationStep = row.NewStep;
        }
        return true;
    }
    return false;
}

// One half of the blink on the current semester's tab; nothing for a semester out of range.
void BlinkCurrentTab(HWND dialog, bool selected) {
    if (CurrentSemester < 0 || CurrentSemester >= TAB_COUNT) {
        return;
    }
    const int tab = CurrentSemester + 1;
    if (selected) {
        SetPicture(dialog, HidePic(U(tab)));
        SetPicture(dialog, ShowPic(S(tab)));
    } else {
        SetPicture(dialog, ShowPic(U(tab)));
        SetPicture(dialog, HidePic(S(tab)));
    }
}

} // namespace

VOID CALLBACK TabAnimationTimerProc(HWND /*window*/, UINT message, UINT_PTR /*timerId*/,
                                    DWORD /*time*/) {
    if (message != WM_TIMER) {
        return;
    }
    HWND dialog = ResultsViewWindow;
    if (dialog == nullptr) {
        return; // no view is working: a tick that was still on its way
    }
    // The opening ends on time even when a hover took away the picture that a row waits for
    // and left the sequence standing still.
    if (AnimationTicks < OpeningTicks && ++AnimationTicks == OpeningTicks &&
        AnimationPhase >= PhaseRunRight && AnimationPhase <= PhaseEmpty) {
        AnimationPhase = PhaseRefresh;
    }
    switch (AnimationPhase) {
    case PhaseRefresh:
        RefreshResultsView(dialog);
        AnimationPhase = PhaseBlinkOff;
        return;
    case PhaseBlinkOff:
        BlinkCurrentTab(dialog, false);
        AnimationPhase = PhaseBlinkOn;
        return;
    case PhaseBlinkOn:
        BlinkCurrentTab(dialog, true);
        AnimationPhase = PhaseBlinkOff;
        return;
    default: TakeOpeningRow(dialog); return;
    }
}
