#include "driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <iterator>
#include <numeric>
#include <sstream>

namespace e2e {

namespace {

constexpr char DialogClass[] = "#32770";
constexpr int MessageBoxTextId = 0xFFFF;
constexpr int ScreenControlIds[] = {IDC_SPLASH_PICTURE, IDC_ABOUT_PICTURE, IDC_FILE_OK,
                                    IDC_ENTRY_SUBJECT, IDC_VIEW_SEMESTER_LIST};

// SendMessageTimeoutA with the driver's timeout; the result, or 0 if the send failed.
LRESULT SendTimed(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL, SendTimeoutMilliseconds,
                            &result) == 0) {
        return 0;
    }
    return static_cast<LRESULT>(result);
}

struct WindowSearch {
    DWORD processId;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    auto* search = reinterpret_cast<WindowSearch*>(param);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->processId && (!search->visibleOnly || IsWindowVisible(window) != 0)) {
        search->found.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectChild(HWND window, LPARAM param) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool IsDialog(HWND window) {
    return ClassName(window) == DialogClass;
}

// The first visible top-level window of the program that matches.
HWND FirstTopLevel(const Program& program, const std::function<bool(HWND)>& matches) {
    const std::vector<HWND> windows = program.TopLevelWindows(true);
    const auto found = std::find_if(windows.begin(), windows.end(), matches);
    return found != windows.end() ? *found : nullptr;
}

LPARAM PointParam(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
}

} // namespace

std::uint64_t NowMilliseconds() {
    return GetTickCount64();
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMilliseconds) {
    const std::uint64_t deadline = NowMilliseconds() + timeoutMilliseconds;
    for (;;) {
        if (condition()) {
            return true;
        }
        if (NowMilliseconds() >= deadline) {
            return false;
        }
        Sleep(PollMilliseconds);
    }
}

std::string ClassName(HWND window) {
    char name[256] = "";
    if (window == nullptr || GetClassNameA(window, name, ARRAYSIZE(name)) == 0) {
        return {};
    }
    return name;
}

// --- Program ---------------------------------------------------------------------------------

Program::~Program() {
    Kill();
    if (thread_ != nullptr) {
        CloseHandle(thread_);
    }
    if (process_ != nullptr) {
        CloseHandle(process_);
    }
}

bool Program::Start(const std::string& executable, std::optional<WORD> showCommand) {
    if (process_ != nullptr) {
        return false;
    }
    char fullPath[MAX_PATH] = "";
    if (GetFullPathNameA(executable.c_str(), ARRAYSIZE(fullPath), fullPath, nullptr) == 0) {
        return false;
    }
    std::string commandLine = std::string("\"") + fullPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (showCommand) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = *showCommand;
    }
    PROCESS_INFORMATION info = {};
    if (CreateProcessA(fullPath, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                       &startup, &info) == 0) {
        return false;
    }
    startedAt_ = NowMilliseconds();
    process_ = info.hProcess;
    thread_ = info.hThread;
    processId_ = info.dwProcessId;
    threadId_ = info.dwThreadId;
    return true;
}

bool Program::Running() const {
    return process_ != nullptr && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

std::optional<DWORD> Program::WaitForExit(DWORD timeoutMilliseconds) {
    if (process_ == nullptr ||
        WaitForSingleObject(process_, timeoutMilliseconds) != WAIT_OBJECT_0) {
        return std::nullopt;
    }
    DWORD code = 0;
    if (GetExitCodeProcess(process_, &code) == 0) {
        return std::nullopt;
    }
    return code;
}

void Program::Kill() {
    if (Running()) {
        TerminateProcess(process_, 255);
        WaitForSingleObject(process_, 5000);
    }
}

std::vector<HWND> Program::TopLevelWindows(bool visibleOnly) const {
    WindowSearch search{processId_, visibleOnly, {}};
    if (processId_ != 0) {
        EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&search));
    }
    return search.found;
}

int Program::CountTopLevelWindows(const char* className, bool visibleOnly) const {
    const std::vector<HWND> windows = TopLevelWindows(visibleOnly);
    return static_cast<int>(std::count_if(windows.begin(), windows.end(), [&](HWND window) {
        return className == nullptr || ClassName(window) == className;
    }));
}

int Program::CountAllWindows() const {
    const std::vector<HWND> windows = TopLevelWindows();
    return std::accumulate(windows.begin(), windows.end(), 0, [](int count, HWND window) {
        return count + 1 + static_cast<int>(Descendants(window).size());
    });
}

HWND Program::FindScreen(int controlId) const {
    return FirstTopLevel(*this, [&](HWND window) {
        return IsDialog(window) && GetDlgItem(window, controlId) != nullptr;
    });
}

HWND Program::WaitForScreen(int controlId, DWORD timeoutMilliseconds) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindScreen(controlId)) != nullptr; }, timeoutMilliseconds);
    return found;
}

bool Program::WaitForScreenGone(int controlId, DWORD timeoutMilliseconds) const {
    return WaitUntil([&] { return FindScreen(controlId) == nullptr; }, timeoutMilliseconds);
}

HWND Program::FindWindowByCaption(const char* className, const std::string& caption) const {
    return FirstTopLevel(*this, [&](HWND window) {
        return (className == nullptr || ClassName(window) == className) &&
               WindowText(window) == caption;
    });
}

HWND Program::WaitForWindowByCaption(const char* className, const std::string& caption,
                                     DWORD timeoutMilliseconds) const {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindWindowByCaption(className, caption)) != nullptr; },
              timeoutMilliseconds);
    return found;
}

HWND Program::WaitForFileDialog(DWORD timeoutMilliseconds) const {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            found = FirstTopLevel(*this, [](HWND window) {
                return IsFileDialog(window) && WindowText(window) == FileDialogTitle;
            });
            return found != nullptr;
        },
        timeoutMilliseconds);
    return found;
}

std::optional<MessageBoxInfo>
Program::WaitForMessageBox(DWORD timeoutMilliseconds,
                           const std::optional<std::string>& caption) const {
    std::optional<MessageBoxInfo> found;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(true)) {
                if (!IsDialog(window) || IsProgramScreen(window) || IsFileDialog(window)) {
                    continue;
                }
                MessageBoxInfo info = ReadMessageBox(window);
                if (!caption || info.caption == *caption) {
                    found = info;
                    return true;
                }
            }
            return false;
        },
        timeoutMilliseconds);
    return found;
}

HWND Program::FocusWindow() const {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (threadId_ == 0 || GetGUIThreadInfo(threadId_, &info) == 0) {
        return nullptr;
    }
    return info.hwndFocus;
}

// --- Windows and controls ----------------------------------------------------------------------

bool IsProgramScreen(HWND window) {
    for (int id : ScreenControlIds) {
        if (GetDlgItem(window, id) != nullptr) {
            return true;
        }
    }
    return false;
}

bool IsFileDialog(HWND window) {
    return FindDescendant(window, FileNameComboId) != nullptr;
}

HWND Owner(HWND window) {
    return GetWindow(window, GW_OWNER);
}

bool WindowEnabled(HWND window) {
    return IsWindowEnabled(window) != 0;
}

HWND Control(HWND dialog, int controlId) {
    return GetDlgItem(dialog, controlId);
}

bool HasControl(HWND dialog, int controlId) {
    return Control(dialog, controlId) != nullptr;
}

HWND FindDescendant(HWND parent, int controlId, const char* className) {
    for (HWND child : Descendants(parent)) {
        if (GetDlgCtrlID(child) == controlId &&
            (className == nullptr || lstrcmpiA(ClassName(child).c_str(), className) == 0)) {
            return child;
        }
    }
    return nullptr;
}

std::string WindowText(HWND window) {
    if (window == nullptr) {
        return {};
    }
    const auto length = static_cast<size_t>(SendTimed(window, WM_GETTEXTLENGTH, 0, 0));
    std::string text(length + 1, '\0');
    const auto copied = static_cast<size_t>(
        SendTimed(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data())));
    text.resize(copied < text.size() ? copied : text.size() - 1);
    return text;
}

bool SetWindowTextRemote(HWND window, const std::string& text) {
    return window != nullptr &&
           SendTimed(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())) != 0;
}

std::string ControlText(HWND dialog, int controlId) {
    return WindowText(Control(dialog, controlId));
}

bool SetControlText(HWND dialog, int controlId, const std::string& text) {
    return SetWindowTextRemote(Control(dialog, controlId), text);
}

bool WindowVisible(HWND window) {
    return window != nullptr && IsWindowVisible(window) != 0;
}

bool ControlVisible(HWND dialog, int controlId) {
    return WindowVisible(Control(dialog, controlId));
}

bool ControlEnabled(HWND dialog, int controlId) {
    HWND control = Control(dialog, controlId);
    return control != nullptr && IsWindowEnabled(control) != 0;
}

LRESULT ButtonCheck(HWND dialog, int controlId) {
    return SendTimed(Control(dialog, controlId), BM_GETCHECK, 0, 0);
}

void SetButtonCheck(HWND dialog, int controlId, WPARAM state) {
    SendTimed(Control(dialog, controlId), BM_SETCHECK, state, 0);
}

// --- Input -----------------------------------------------------------------------------------

void Click(HWND dialog, int controlId) {
    PostCommand(dialog, controlId, BN_CLICKED);
}

void SendClick(HWND dialog, int controlId) {
    SendTimed(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
              reinterpret_cast<LPARAM>(Control(dialog, controlId)));
}

void ClickButton(HWND dialog, int controlId) {
    SendTimed(Control(dialog, controlId), BM_CLICK, 0, 0);
}

void PostCommand(HWND dialog, int controlId, int notification) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, notification),
                 reinterpret_cast<LPARAM>(Control(dialog, controlId)));
}

void PressEscapeCommand(HWND dialog) {
    PostCommand(dialog, IDCANCEL, BN_CLICKED);
}

void PressKey(HWND target, UINT virtualKey) {
    const UINT scanCode = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | static_cast<LPARAM>(scanCode << 16);
    const LPARAM up = down | (1L << 30) | (1L << 31);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    const UINT character = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_CHAR) & 0x7FFF;
    if (character != 0) {
        PostMessageA(target, WM_CHAR, character, down);
    }
    PostMessageA(target, WM_KEYUP, virtualKey, up);
}

void PressCloseBox(HWND window) {
    PostMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0);
}

void SelectComboItem(HWND dialog, int controlId, int index,
                     std::initializer_list<int> notifications) {
    HWND combo = Control(dialog, controlId);
    SendTimed(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    for (int notification : notifications) {
        SendTimed(dialog, WM_COMMAND, MAKEWPARAM(controlId, notification),
                  reinterpret_cast<LPARAM>(combo));
    }
}

int ComboSelection(HWND dialog, int controlId) {
    return static_cast<int>(SendTimed(Control(dialog, controlId), CB_GETCURSEL, 0, 0));
}

int ComboCount(HWND dialog, int controlId) {
    return static_cast<int>(SendTimed(Control(dialog, controlId), CB_GETCOUNT, 0, 0));
}

std::string ComboItemText(HWND dialog, int controlId, int index) {
    HWND combo = Control(dialog, controlId);
    const LRESULT length = SendTimed(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied = SendTimed(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied > 0 ? static_cast<size_t>(copied) : 0);
    return text;
}

void MouseMove(HWND window, int x, int y) {
    PostMessageA(window, WM_MOUSEMOVE, 0, PointParam(x, y));
}

void MouseDown(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
}

void MouseUp(HWND window, int x, int y) {
    PostMessageA(window, WM_LBUTTONUP, 0, PointParam(x, y));
}

void MouseClick(HWND window, int x, int y) {
    MouseDown(window, x, y);
    MouseUp(window, x, y);
}

// --- Standard file dialogs and message boxes ------------------------------------------------

bool AnswerFileDialog(HWND fileDialog, const std::string& path) {
    // The file name field is an edit inside a combo box inside a combo box, all with the id
    // 0x47c; the dialog reads the name back from the outer one.
    HWND edit = FindDescendant(fileDialog, FileNameComboId, "Edit");
    HWND field = edit != nullptr ? edit : FindDescendant(fileDialog, FileNameComboId);
    if (field == nullptr || !SetWindowTextRemote(field, path)) {
        return false;
    }
    // A toolbar inside the dialog also has id 1: press the button.
    HWND ok = FindDescendant(fileDialog, FileDialogOkId, "Button");
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(FileDialogOkId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(ok));
    return true;
}

void CancelFileDialog(HWND fileDialog) {
    PostMessageA(fileDialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                 reinterpret_cast<LPARAM>(FindDescendant(fileDialog, IDCANCEL, "Button")));
}

MessageBoxInfo ReadMessageBox(HWND box) {
    MessageBoxInfo info;
    info.window = box;
    info.caption = WindowText(box);
    HWND textControl = GetDlgItem(box, MessageBoxTextId);
    if (textControl != nullptr) {
        info.text = WindowText(textControl);
        return info;
    }
    for (HWND child : Descendants(box)) {
        if (lstrcmpiA(ClassName(child).c_str(), "Static") == 0) {
            std::string text = WindowText(child);
            if (text.size() > info.text.size()) {
                info.text = text;
            }
        }
    }
    return info;
}

void PressMessageBoxButton(HWND box, int buttonId) {
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, buttonId)));
}

// --- Files -----------------------------------------------------------------------------------

std::string TemporaryPath(const std::string& suffix) {
    static std::atomic<int> counter{0};
    char folder[MAX_PATH] = "";
    GetTempPathA(ARRAYSIZE(folder), folder);
    std::ostringstream path;
    path << folder << "gradewick-e2e-" << GetCurrentProcessId() << "-" << counter++ << suffix;
    DeleteFileA(path.str().c_str());
    return path.str();
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

HWND StartAtFileSelection(Program& program, DWORD timeoutMilliseconds,
                          const std::string& executable) {
    if (!program.Start(executable)) {
        ADD_FAILURE() << executable << " could not be started";
        return nullptr;
    }
    HWND files = program.WaitForScreen(IDC_FILE_OK, timeoutMilliseconds);
    if (files == nullptr) {
        ADD_FAILURE() << "no file selection screen";
    }
    return files;
}

namespace {
HWND ChooseFile(const Program& program, HWND fileSelection, int choice, const std::string& path,
                int nextScreenControl) {
    if (fileSelection == nullptr) {
        return nullptr;
    }
    ClickButton(fileSelection, choice);
    Click(fileSelection, IDC_FILE_OK);
    HWND dialog = program.WaitForFileDialog();
    if (dialog == nullptr || !AnswerFileDialog(dialog, path)) {
        ADD_FAILURE() << "the file dialog did not take " << path;
        return nullptr;
    }
    HWND next = program.WaitForScreen(nextScreenControl);
    if (next == nullptr) {
        ADD_FAILURE() << "no screen with control " << nextScreenControl << " after the file dialog";
    }
    return next;
}
} // namespace

HWND ChooseNewFile(const Program& program, HWND fileSelection, const std::string& path) {
    return ChooseFile(program, fileSelection, IDC_FILE_NEW, path, IDC_ENTRY_SUBJECT);
}

HWND ChooseExistingFile(const Program& program, HWND fileSelection, const std::string& path) {
    return ChooseFile(program, fileSelection, IDC_FILE_EXISTING, path, IDC_VIEW_SEMESTER_LIST);
}

std::string StoredRecord(int semester, const std::string& subject, int creditIndex,
                         int gradeIndex) {
    return "Semester " + std::to_string(semester) + "\r\n" + subject + "\r\n" +
           std::to_string(creditIndex) + "\r\n" + std::to_string(gradeIndex) + "\r\n";
}

} // namespace e2e

// Every driver program's entry point: the *_e2e.cpp files hold only tests.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
