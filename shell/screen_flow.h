// Changing screens. The screen that is left ends itself (EndDialog(window, 1)) and names the
// next screen; the screens then run one after another from a single loop instead of nesting
// each new modal loop inside the old one, so any number of changes keeps at most one working
// screen alive. A change requested while a nested modal loop of the screen runs (its About
// screen, a message box or a file dialog is open) cannot wait for that loop to end: the next
// screen then opens at once, nested, as the user expects to see it.
#pragma once

#include <windows.h>

// Dialog procedure of a screen's dialog id (1..5), or nullptr.
DLGPROC ScreenProcedure(int dialogId);

// Runs dialogId as a modal screen with the given owner, then every screen that a change names,
// each with MainWindow (as it is at that moment) as owner. Returns when a screen ends without
// naming a next one: by the quit message, or by EndDialog alone.
void RunScreens(int dialogId, HWND owner);

// EndDialog(leaving, 1), then the next screen (owner MainWindow) opens after the one left.
void ChangeScreen(HWND leaving, int nextDialogId);

// Marks a nested modal loop run from within a screen's message handling.
class NestedLoopScope {
  public:
    NestedLoopScope();
    ~NestedLoopScope();
    NestedLoopScope(const NestedLoopScope&) = delete;
    NestedLoopScope& operator=(const NestedLoopScope&) = delete;
};

// The About screen over the current screen: DialogBoxParamA(InstanceHandle, 5, MainWindow,
// DialogAbout, 0); returns when it closes.
void OpenAboutScreen();

// A message box owned by MainWindow.
int ShowMessage(const char* text, const char* caption, UINT type);
