// The hidden main window, the splash screen and its timer, and the About screen.
#include "app_state.h"
#include "resource.h"
#include "screen_flow.h"
#include "screen_pictures.h"
#include "shell.h"

namespace {

LRESULT OnCreate(HWND window) {
    SplashTimerId = SetTimer(nullptr, 1, SplashMilliseconds, SplashTimerProc);
    DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_SPLASH), window, DialogFunc4, 0);
    return 0;
}

} // namespace

int RunProgram(HINSTANCE instance, HINSTANCE previousInstance) {
    InstanceHandle = instance;
    if (previousInstance == nullptr) {
        WNDCLASSA windowClass = {};
        windowClass.style = 0;
        windowClass.lpfnWndProc = MainWndProc;
        windowClass.hInstance = InstanceHandle;
        windowClass.hIcon = LoadIconA(InstanceHandle, MAKEINTRESOURCEA(IDI_GRADEWICK));
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
        windowClass.lpszClassName = MainWindowClassName;
        if (RegisterClassA(&windowClass) == 0) {
            return StartupFailedExitCode;
        }
    }
    // Never shown: neither ShowWindow nor UpdateWindow is called for it.
    MainWindow = CreateWindowExA(0, MainWindowClassName, "Gradewick", WS_OVERLAPPEDWINDOW,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                 nullptr, nullptr, InstanceHandle, nullptr);
    if (MainWindow == nullptr) {
        return StartupFailedExitCode;
    }
    MSG message = {};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return static_cast<int>(message.wParam);
}

LRESULT CALLBACK MainWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    default: return DefWindowProcA(window, message, wParam, lParam);
    }
}

VOID CALLBACK SplashTimerProc(HWND window, UINT message, UINT_PTR /*timerId*/, DWORD /*time*/) {
    if (message != WM_TIMER) {
        return;
    }
    KillTimer(nullptr, SplashTimerId);
    EndDialog(SplashWindow, 1);
    RunScreens(IDD_FILE_SELECT, window);
}

extern "C" INT_PTR CALLBACK DialogFunc4(HWND window, UINT message, WPARAM wParam,
                                        LPARAM /*lParam*/) {
    SplashWindow = window;
    switch (message) {
    case WM_INITDIALOG: FitScreenPictures(window, ScaleOf(window)); return FALSE;
    case WM_DESTROY: ReleaseScreenPictures(window); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 1);
        }
        return TRUE;
    default: return FALSE;
    }
}

extern "C" INT_PTR CALLBACK DialogAbout(HWND window, UINT message, WPARAM wParam,
                                        LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: FitScreenPictures(window, ScaleOf(window)); return FALSE;
    case WM_DESTROY: ReleaseScreenPictures(window); return FALSE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
            EndDialog(window, 1);
        }
        return TRUE;
    default: return FALSE;
    }
}
