#include "screen_flow.h"

#include "app_state.h"
#include "resource.h"

namespace {
int pendingScreen = 0; // the screen a change named, opened once the screen left has ended
int nestedLoops = 0;   // modal loops running inside a screen's message handling
} // namespace

DLGPROC ScreenProcedure(int dialogId) {
    switch (dialogId) {
    case IDD_FILE_SELECT: return DialogFunc1;
    case IDD_SUBJECT_ENTRY: return DialogFunc2;
    case IDD_RESULTS_VIEW: return DialogFunc3;
    case IDD_SPLASH: return DialogFunc4;
    case IDD_ABOUT: return DialogAbout;
    default: return nullptr;
    }
}

void RunScreens(int dialogId, HWND owner) {
    // A run nested inside another screen's loop counts its own nested loops and changes.
    const int outerNested = nestedLoops;
    const int outerPending = pendingScreen;
    nestedLoops = 0;
    int next = dialogId;
    HWND nextOwner = owner;
    while (next != 0) {
        pendingScreen = 0;
        DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(next), nextOwner, ScreenProcedure(next),
                        0);
        next = pendingScreen;
        pendingScreen = 0;
        nextOwner = MainWindow;
    }
    nestedLoops = outerNested;
    pendingScreen = outerPending;
}

void ChangeScreen(HWND leaving, int nextDialogId) {
    EndDialog(leaving, 1);
    if (nestedLoops > 0) {
        // The screen's own modal loop is not the one running: open the next screen now.
        RunScreens(nextDialogId, MainWindow);
        return;
    }
    pendingScreen = nextDialogId;
}

NestedLoopScope::NestedLoopScope() { ++nestedLoops; }
NestedLoopScope::~NestedLoopScope() { --nestedLoops; }

void OpenAboutScreen() {
    NestedLoopScope nested;
    DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), MainWindow, DialogAbout, 0);
}

int ShowMessage(const char* text, const char* caption, UINT type) {
    NestedLoopScope nested;
    return MessageBoxA(MainWindow, text, caption, type);
}
