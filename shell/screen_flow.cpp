#include "screen_flow.h"

#include "app_state.h"
#include "encoding.h"
#include "resource.h"

namespace {

int pendingScreen = 0;        // the screen a change named, opened once the screen left has ended
int nestedLoops = 0;          // modal loops running inside a screen's message handling
HWND workingScreen = nullptr; // the owner of the boxes and dialogs of the screen on screen

INT_PTR RunModalScreen(int dialogId, HWND owner) {
    return DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(dialogId), owner,
                           ScreenProcedure(dialogId), 0);
}

ScreenRunner screenRunner = RunModalScreen;

bool QuitMessageWaiting() {
    MSG message;
    return PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

constexpr int ScreenFailedExitCode = 1;

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
    int next = dialogId;
    HWND nextOwner = owner;
    while (next != 0) {
        pendingScreen = 0;
        const INT_PTR result = screenRunner(next, nextOwner);
        next = pendingScreen;
        pendingScreen = 0;
        if (result == -1 && next == 0) {
            // The screen could not be created: nothing is on screen and nothing would ever
            // post the quit message.
            PostQuitMessage(ScreenFailedExitCode);
        }
        if (QuitMessageWaiting()) {
            break;
        }
        nextOwner = MainWindow;
    }
}

void ChangeScreen(HWND leaving, int nextDialogId) {
    EndDialog(leaving, 1);
    pendingScreen = nextDialogId;
}

void ScreenOpened(HWND screen) {
    workingScreen = screen;
}

void ScreenClosed(HWND screen) {
    if (workingScreen == screen) {
        workingScreen = nullptr;
    }
}

HWND BoxOwner() {
    return workingScreen;
}

bool ScreenBoxOpen() {
    return nestedLoops > 0;
}

bool IsClickUnderBox(WPARAM commandWParam) {
    return ScreenBoxOpen() && HIWORD(commandWParam) == BN_CLICKED &&
           LOWORD(commandWParam) != IDCANCEL;
}

NestedLoopScope::NestedLoopScope() {
    ++nestedLoops;
}
NestedLoopScope::~NestedLoopScope() {
    --nestedLoops;
}

void OpenAboutScreen() {
    NestedLoopScope nested;
    DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_ABOUT), workingScreen, DialogAbout, 0);
}

int ShowMessage(const char* text, const char* caption, UINT type, HWND owner) {
    NestedLoopScope nested;
    return MessageBoxW(owner != nullptr ? owner : workingScreen, Utf16FromUtf8(text).c_str(),
                       Utf16FromUtf8(caption).c_str(), type);
}

int TakePendingScreen() {
    const int pending = pendingScreen;
    pendingScreen = 0;
    return pending;
}

ScreenRunner SetScreenRunner(ScreenRunner runner) {
    const ScreenRunner previous = screenRunner;
    screenRunner = runner != nullptr ? runner : RunModalScreen;
    return previous;
}
