// Changing screens. The screen that is left ends itself (EndDialog(window, 1)) and names the
// next screen; the screens then run one after another from a single loop instead of nesting
// each new modal loop inside the old one, so any number of changes keeps at most one working
// screen alive. The boxes and dialogs a screen opens are owned by it: it is disabled beneath
// them, and they stay in front of it. No change starts while one is up: the screen's buttons
// then do nothing (IsClickUnderBox), whatever reaches them.
#pragma once

#include <windows.h>

// Dialog procedure of a screen's dialog id (1..5), or nullptr.
DLGPROC ScreenProcedure(int dialogId);

// Runs dialogId as a modal screen with the given owner, then every screen that a change names,
// each with MainWindow (as it is at that moment) as owner. Returns when a screen ends without
// naming a next one: by the quit message, or by EndDialog alone. A change named just before
// the quit message arrived is dropped, so the program ends as asked. A screen that cannot be
// created ends the program (PostQuitMessage(1)) instead of leaving it running with nothing on
// screen.
void RunScreens(int dialogId, HWND owner);

// EndDialog(leaving, 1), then the next screen (owner MainWindow) opens after the one left.
void ChangeScreen(HWND leaving, int nextDialogId);

// The working screen (file selection, subject entry or results view) records itself when it
// opens and lets go when it is destroyed; BoxOwner is then the owner of every message box, file
// dialog and About screen that it opens (nullptr while no screen is open).
void ScreenOpened(HWND screen);
void ScreenClosed(HWND screen);
HWND BoxOwner();

// Whether a message box, file dialog, menu or About screen that the working screen opened is up;
// its buttons then do nothing, so that no second flow starts under the first.
bool ScreenBoxOpen();

// Whether a WM_COMMAND is a click (a button's or a menu item's) that comes while such a box is
// up, and so does nothing. The close box and Escape (IDCANCEL) still end the program.
bool IsClickUnderBox(WPARAM commandWParam);

// Marks a nested modal loop run from within a screen's message handling.
class NestedLoopScope {
  public:
    NestedLoopScope();
    ~NestedLoopScope();
    NestedLoopScope(const NestedLoopScope&) = delete;
    NestedLoopScope& operator=(const NestedLoopScope&) = delete;
};

// The About screen over the working screen: DialogBoxParamA(InstanceHandle, 5, BoxOwner(),
// DialogAbout, 0); returns when it closes.
void OpenAboutScreen();

// A message box owned by the working screen (BoxOwner), or by the dialog of the screen that is
// given; text and caption in UTF-8, so that a path shows as it is.
int ShowMessage(const char* text, const char* caption, UINT type, HWND owner = nullptr);

// --- Test seams ------------------------------------------------------------------------------
// Screen tests create screens modeless, so a change they cause is never run: it stays pending.

// The screen that a change named and that has not opened yet (0: none); reading clears it.
int TakePendingScreen();

// Runs one screen modally and returns what DialogBoxParamA returns; the program uses
// DialogBoxParamA(InstanceHandle, dialogId, owner, ScreenProcedure(dialogId), 0).
using ScreenRunner = INT_PTR (*)(int dialogId, HWND owner);
// Replaces how RunScreens runs one screen (nullptr: the real one); returns the previous runner.
ScreenRunner SetScreenRunner(ScreenRunner runner);
