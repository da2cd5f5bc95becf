#include "harness.h"

#include <algorithm>
#include <deque>
#include <fstream>
#include <iterator>
#include <map>

#include "encoding.h"
#include "summary.h"

namespace {

std::deque<std::string> names;
std::deque<int> buttons;
std::deque<std::vector<int>> menuKeys;
std::map<HWND, int> sightings;
constexpr UINT MenuHandleMessage = 0x01E1; // MN_GETHMENU

// In UTF-8, as the program's own texts are.
std::string TextOf(HWND window) {
    wchar_t text[1024] = L"";
    GetWindowTextW(window, text, ARRAYSIZE(text));
    return Utf8FromUtf16(text);
}

BOOL CALLBACK Collect(HWND window, LPARAM windows) {
    reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window); // NOLINT
    return TRUE;
}

std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumThreadWindows(GetCurrentThreadId(), Collect, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

bool IsMenu(HWND window) {
    char name[16] = "";
    GetClassNameA(window, name, ARRAYSIZE(name));
    return std::string(name) == "#32768";
}

std::string MenuItemText(HMENU menu, UINT position) {
    wchar_t text[256] = L"";
    GetMenuStringW(menu, position, text, ARRAYSIZE(text), MF_BYPOSITION);
    return Utf8FromUtf16(text);
}

// "&Remove \"Art\"...|-|&Grade>A-|...": each item, a submenu with its checked item.
std::string Describe(HMENU menu) {
    std::string description;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        const auto position = static_cast<UINT>(i);
        description += i == 0 ? "" : "|";
        HMENU sub = GetSubMenu(menu, i); // a submenu's state holds its count, not MF_SEPARATOR
        if (sub == nullptr && (GetMenuState(menu, position, MF_BYPOSITION) & MF_SEPARATOR) != 0) {
            description += "-";
            continue;
        }
        description += MenuItemText(menu, position);
        if (sub != nullptr) {
            description += ">";
            for (int j = 0; j < GetMenuItemCount(sub); ++j) {
                if ((GetMenuState(sub, static_cast<UINT>(j), MF_BYPOSITION) & MF_CHECKED) != 0) {
                    description += MenuItemText(sub, static_cast<UINT>(j));
                }
            }
        }
    }
    return description;
}

// A shortcut menu: recorded with its items, then the next queued keys (Escape once none).
void AnswerMenu(HWND window) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles travel as integers
    auto* menu = reinterpret_cast<HMENU>(SendMessageA(window, MenuHandleMessage, 0, 0));
    ModalAnswerer::Seen.push_back({"menu", Describe(menu), true, GetWindow(window, GW_OWNER)});
    std::vector<int> keys;
    if (!menuKeys.empty()) {
        keys = menuKeys.front();
        menuKeys.pop_front();
    }
    if (keys.empty()) {
        keys = {-VK_ESCAPE};
    }
    for (const int key : keys) {
        PostMessageA(window, key < 0 ? WM_KEYDOWN : WM_CHAR,
                     static_cast<WPARAM>(key < 0 ? -key : key), 0);
    }
}

// The Rename dialog, on the second sighting of each time it is there to be answered (it stays
// after a refusal): recorded with the name it shows ("[name]" when all of it is selected), then
// the next queued name and Enter, or Escape once none is queued.
void AnswerRename(HWND dialog, HWND field) {
    if (!IsWindowVisible(dialog) || !IsWindowEnabled(dialog) || ++sightings[dialog] != 2) {
        return;
    }
    sightings[dialog] = 0;
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(field, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    const std::string shown = TextOf(field);
    const bool whole = start == 0 && end == static_cast<DWORD>(GetWindowTextLengthW(field));
    ModalAnswerer::Seen.push_back(
        {TextOf(dialog), whole ? "[" + shown + "]" : shown, true, GetWindow(dialog, GW_OWNER)});
    int key = VK_ESCAPE;
    if (!names.empty()) {
        SetWindowTextW(field, Utf16FromUtf8(names.front()).c_str());
        names.pop_front();
        key = VK_RETURN;
    }
    PostMessageA(field, WM_KEYDOWN, static_cast<WPARAM>(key), 0);
}

// Answered on the second sighting, once the box has finished setting itself up.
void Answer(HWND box) {
    if (IsMenu(box)) {
        static HWND answered = nullptr; // a menu's submenus are its own to open
        const bool submenu = answered != nullptr && answered != box && IsWindowVisible(answered);
        if (!submenu && IsWindowVisible(box) && ++sightings[box] == 2) {
            answered = box;
            AnswerMenu(box);
        }
        return;
    }
    HWND rename = GetDlgItem(box, IDC_RENAME_SUBJECT);
    if (rename != nullptr) {
        AnswerRename(box, rename);
        return;
    }
    HWND fileName = GetDlgItem(box, FileNameId);
    HWND text = GetDlgItem(box, MessageTextId);
    if ((fileName == nullptr && text == nullptr) || !IsWindowVisible(box) ||
        ++sightings[box] != 2) {
        return;
    }
    ModalAnswerer::Seen.push_back(
        {TextOf(box), text != nullptr ? TextOf(text) : "",
         ResultsViewWindow != nullptr && IsWindowVisible(ResultsViewWindow),
         GetWindow(box, GW_OWNER)});
    std::string name;
    if (fileName != nullptr && !names.empty()) {
        name = names.front();
        names.pop_front();
        SetWindowTextW(fileName, Utf16FromUtf8(name).c_str());
    }
    int button = fileName != nullptr && name.empty() ? IDCANCEL : IDOK;
    if (text != nullptr && !buttons.empty()) {
        button = buttons.front();
        buttons.pop_front();
    }
    if (button < 0) { // a key, where the dialog manager takes it
        HWND focus = GetFocus();
        PostMessageA(IsChild(box, focus) ? focus : box, WM_KEYDOWN, static_cast<WPARAM>(-button),
                     0);
        return;
    }
    PostMessageA(box, WM_COMMAND, button, 0);
}

VOID CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
    for (HWND window : TopLevelWindows()) {
        Answer(window);
    }
}

} // namespace

std::vector<Box> ModalAnswerer::Seen;

ModalAnswerer::ModalAnswerer() : timer_(SetTimer(nullptr, 0, 20, AnswerTick)) {
    Seen.clear();
    names.clear();
    buttons.clear();
    menuKeys.clear();
}
ModalAnswerer::~ModalAnswerer() {
    KillTimer(nullptr, timer_);
}
void ModalAnswerer::Name(const std::string& fileName) {
    names.push_back(fileName);
}
void ModalAnswerer::Press(int buttonId) {
    if (buttonId != 0) {
        buttons.push_back(buttonId);
    }
}
void ModalAnswerer::Keys(std::vector<int> keys) {
    menuKeys.push_back(std::move(keys));
}

HWND CreateScreen(int dialogId, DLGPROC procedure) {
    HWND dialog =
        CreateDialogParamA(InstanceHandle, MAKEINTRESOURCEA(dialogId), nullptr,
                           procedure != nullptr ? procedure : ScreenProcedure(dialogId), 0);
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
    return TextOf(GetDlgItem(dialog, controlId));
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

std::optional<WPARAM> TakeQuitCode() {
    MSG message;
    std::optional<WPARAM> code;
    while (PeekMessageA(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
        code = message.wParam;
    }
    return code;
}

int ThreadWindows() {
    std::vector<HWND> windows = TopLevelWindows();
    for (HWND top : TopLevelWindows()) {
        EnumChildWindows(top, Collect, reinterpret_cast<LPARAM>(&windows));
    }
    return static_cast<int>(windows.size());
}

HWND FindScreen(int controlId) {
    for (HWND window : TopLevelWindows()) {
        if (IsWindowVisible(window) && GetDlgItem(window, controlId) != nullptr) {
            return window;
        }
    }
    return nullptr;
}

void SendUnder(int whileUp, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    static int awaited = 0;
    static MSG sent{};
    awaited = whileUp;
    sent = {window, message, wParam, lParam, 0, {}};
    SetTimer(nullptr, 0, 5, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (FindScreen(awaited) != nullptr) {
            KillTimer(nullptr, timer);
            SendMessageA(sent.hwnd, sent.message, sent.wParam, sent.lParam);
        }
    });
}

void PressUnder(int whileUp, HWND screen, int button) {
    SendUnder(whileUp, screen, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
              reinterpret_cast<LPARAM>(GetDlgItem(screen, button)));
}

std::vector<HGDIOBJ> ScreenFonts(HWND screen) {
    std::vector<HWND> controls;
    EnumChildWindows(screen, Collect, reinterpret_cast<LPARAM>(&controls));
    const LRESULT own = SendMessageA(screen, WM_GETFONT, 0, 0);
    std::vector<HGDIOBJ> fonts;
    for (HWND control : controls) {
        const LRESULT font = SendMessageA(control, WM_GETFONT, 0, 0);
        if (font != 0 && font != own) {
            fonts.push_back(reinterpret_cast<HGDIOBJ>(font)); // NOLINT(performance-no-int-to-ptr)
        }
    }
    return fonts;
}

int LiveObjects(const std::vector<HGDIOBJ>& objects) {
    return static_cast<int>(std::count_if(
        objects.begin(), objects.end(), [](HGDIOBJ object) { return GetObjectType(object) != 0; }));
}

std::string Record(int semester, const std::string& subject, int creditIndex, int gradeIndex) {
    return "Semester " + std::to_string(semester) + "\r\n" + subject + "\r\n" +
           std::to_string(creditIndex) + "\r\n" + std::to_string(gradeIndex) + "\r\n";
}

TempFile::TempFile(const char* suffix) {
    static int counter = 0;
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    Path = std::string(folder) + "gradewick-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(counter++) + suffix;
    DeleteFileA(Path.c_str());
}
TempFile::~TempFile() {
    DeleteFileA(Path.c_str());
}
std::string TempFile::Read() const {
    std::ifstream in(Path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}
void TempFile::Write(const std::string& bytes) const {
    std::ofstream(Path, std::ios::binary | std::ios::trunc) << bytes;
}

int main(int argc, char** argv) {
    EnsureExtendedPrecision();
    InstanceHandle = GetModuleHandleA(nullptr);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
