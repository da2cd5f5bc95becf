// The tab strip's animation: a 150 ms thread timer whose callback plays the opening animation
// of the results view, refreshes the view at its end, and then blinks the current tab.
#pragma once

#include <windows.h>

constexpr UINT TabAnimationMilliseconds = 150;
// Ticks of the opening animation: on the last, the results are shown.
constexpr int OpeningTicks = 30;

// Phases of AnimationPhase.
constexpr int PhaseRunRight = 1;
constexpr int PhaseRunLeft = 2;
constexpr int PhaseFill = 3;
constexpr int PhaseEmpty = 4;
constexpr int PhaseRefresh = 5;
constexpr int PhaseBlinkOff = 6; // the current tab shows its unselected picture
constexpr int PhaseBlinkOn = 7;  // the current tab shows its selected picture

// Works on ResultsViewWindow; acts only on WM_TIMER. Each tick takes the first step whose
// phase, step and tested picture match; the visible selected pictures are the animation's only
// record of where it stands, so pointer movement and refreshes steer it.
VOID CALLBACK TabAnimationTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
