#include "screen_harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "app_state.h"
#include "screen_flow.h"
#include "summary.h"

HWND CreateScreen(int dialogId, DLGPROC procedure) {
    DLGPROC proc = procedure != nullptr ? procedure : ScreenProcedure(dialogId);
    HWND dialog = CreateDialogParamA(InstanceHandle, MAKEINTRESOURCEA(dialogId), nullptr, proc, 0);
    PumpMessages();
    return dialog;
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

std::string ControlText(HWND dialog, int controlId) {
    char text[512] = "";
    GetDlgItemTextA(dialog, controlId, text, static_cast<int>(sizeof text));
    return text;
}

bool ControlVisible(HWND dialog, int controlId) {
    return IsWindowVisible(GetDlgItem(dialog, controlId)) != FALSE;
}

bool ControlEnabled(HWND dialog, int controlId) {
    return IsWindowEnabled(GetDlgItem(dialog, controlId)) != FALSE;
}

void SendCommand(HWND dialog, int controlId, int notification) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

std::string TemporaryPath(const char* suffix) {
    static std::atomic<int> counter{0};
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::ostringstream path;
    path << folder << "gradewick-test-" << GetCurrentProcessId() << "-" << counter++ << suffix;
    DeleteFileA(path.str().c_str());
    return path.str();
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool TakeQuitMessage() {
    return TakeQuitCode().has_value();
}

std::optional<WPARAM> TakeQuitCode() {
    MSG message;
    std::optional<WPARAM> code;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        code = message.wParam;
    }
    return code;
}

int main(int argc, char** argv) {
    EnsureExtendedPrecision();
    InstanceHandle = GetModuleHandleA(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
