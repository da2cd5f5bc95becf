// Program-wide state shared by the screens. Plain globals with fixed sizes; the screens pass
// nothing to one another through the dialog parameter.
#pragma once

#include <windows.h>

// The path in UTF-8: any path that the file dialogs return (MAX_PATH UTF-16 units with the
// terminator) takes at most three bytes a unit.
constexpr int ResultFilePathSize = MAX_PATH * 3;

extern HINSTANCE InstanceHandle; // the module (WinMain's first action)
extern HWND MainWindow;          // the hidden main window, stored when its creation returns
extern HWND SplashWindow;        // recorded by the splash screen on every message
extern UINT_PTR SplashTimerId;   // the splash timer, as SetTimer returned it

extern char ResultFilePath[ResultFilePathSize]; // chosen on the file selection screen (UTF-8)
extern int IsNewFile;                           // 1: start the file afresh at the first insertion

extern int CurrentSemester; // 0..7, the semester on screen and of new entries
extern int AnimationPhase;  // tab strip animation phase, initial 1
extern int AnimationStep;   // tab strip animation step, initial 0
extern int AnimationTicks;  // ticks since the results view opened, counted up to the opening's end
extern int HoverTab;        // tab (1..8) that last took the hover look, 0 before the first

extern HWND ResultsViewWindow; // recorded by the results view on every message
extern UINT_PTR ViewTimerId;   // the results view's animation timer

// The dialog procedures, exported under their plain names.
extern "C" {
__declspec(dllexport) INT_PTR CALLBACK
    DialogFunc1(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
__declspec(dllexport) INT_PTR CALLBACK
    DialogFunc2(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
__declspec(dllexport) INT_PTR CALLBACK
    DialogFunc3(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
__declspec(dllexport) INT_PTR CALLBACK
    DialogFunc4(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
__declspec(dllexport) INT_PTR CALLBACK
    DialogAbout(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
}
