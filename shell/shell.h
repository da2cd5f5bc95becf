// Start-up, the hidden main window, and the splash and About screens.
#pragma once

#include <windows.h>

constexpr UINT SplashMilliseconds = 3000;
constexpr char MainWindowClassName[] = "nama klas";
// Exit code when the window class cannot be registered or the main window cannot be created.
constexpr int StartupFailedExitCode = 1;

// Registers the class (unless previousInstance is set), creates the hidden main window (whose
// creation runs the splash screen and, from its timer, every working screen), then runs the
// message loop. Returns the code given to PostQuitMessage, or StartupFailedExitCode at once
// when the class cannot be registered or the main window cannot be created: nothing would
// ever be on screen.
int RunProgram(HINSTANCE instance, HINSTANCE previousInstance);

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
VOID CALLBACK SplashTimerProc(HWND window, UINT message, UINT_PTR timerId, DWORD time);
