#include "harness.h"

#include <deque>
#include <fstream>
#include <iterator>
#include <set>

#include "summary.h"

namespace {

constexpr int MessageTextId = 0xFFFF; // a message box's text
constexpr int FileNameId = 0x47c;     // a file dialog's name field (an edit inside combos)
constexpr UINT AnswerMilliseconds = 20;

std::deque<std::string> names;
std::set<HWND> sighted;
std::set<HWND> answered;

std::string TextOf(HWND window) {
    char text[1024] = "";
    GetWindowTextA(window, text, ARRAYSIZE(text));
    return text;
}

HWND FileNameEdit(HWND dialog) {
    std::pair<HWND, HWND> search{nullptr, nullptr};
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM param) -> BOOL {
            auto* found = reinterpret_cast<std::pair<HWND, HWND>*>(param); // NOLINT
            char name[16] = "";
            GetClassNameA(child, name, ARRAYSIZE(name));
            if (GetDlgCtrlID(child) == FileNameId && lstrcmpiA(name, "Edit") == 0) {
                found->first = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.first;
}

BOOL CALLBACK Answer(HWND window, LPARAM /*unused*/) {
    char name[16] = "";
    GetClassNameA(window, name, ARRAYSIZE(name));
    if (std::string(name) != "#32770" || !IsWindowVisible(window) || answered.count(window)) {
        return TRUE;
    }
    HWND edit = FileNameEdit(window);
    const bool message = GetDlgItem(window, MessageTextId) != nullptr;
    const bool about = GetDlgItem(window, IDC_ABOUT_PICTURE) != nullptr;
    // Answered on the second sighting, once the box has finished setting itself up.
    if ((edit == nullptr && !message && !about) || sighted.insert(window).second) {
        return TRUE;
    }
    answered.insert(window);
    if (about) {
        ++ModalAnswerer::AboutScreens;
        PostMessageA(window, WM_COMMAND, IDOK, 0);
        return TRUE;
    }
    const bool viewVisible = ResultsViewWindow != nullptr && IsWindowVisible(ResultsViewWindow);
    ModalAnswerer::Seen.push_back({TextOf(window),
                                   message ? TextOf(GetDlgItem(window, MessageTextId)) : "",
                                   GetWindow(window, GW_OWNER), edit != nullptr, viewVisible});
    std::string fileName;
    if (edit != nullptr && !names.empty()) {
        fileName = names.front();
        names.pop_front();
    }
    if (!fileName.empty()) {
        SetWindowTextA(edit, fileName.c_str());
    }
    PostMessageA(window, WM_COMMAND, edit != nullptr && fileName.empty() ? IDCANCEL : IDOK, 0);
    return TRUE;
}

VOID CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), Answer, 0);
}

} // namespace

std::vector<Box> ModalAnswerer::Seen;
int ModalAnswerer::AboutScreens = 0;

ModalAnswerer::ModalAnswerer() : timer_(SetTimer(nullptr, 0, AnswerMilliseconds, AnswerTick)) {
    Seen.clear();
    AboutScreens = 0;
    names.clear();
}
ModalAnswerer::~ModalAnswerer() {
    KillTimer(nullptr, timer_);
}
void ModalAnswerer::Name(const std::string& fileName) {
    names.push_back(fileName);
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
    static int count = 0;
    count = 0;
    const auto counter = [](HWND window, LPARAM) -> BOOL {
        ++count;
        EnumChildWindows(
            window, [](HWND, LPARAM) -> BOOL { return ++count > 0; }, 0);
        return TRUE;
    };
    EnumThreadWindows(GetCurrentThreadId(), counter, 0);
    return count;
}

HWND FindScreen(int controlId) {
    static int id = 0;
    static HWND found = nullptr;
    id = controlId;
    found = nullptr;
    const auto look = [](HWND window, LPARAM) -> BOOL {
        if (IsWindowVisible(window) && GetDlgItem(window, id) != nullptr) {
            found = window;
        }
        return found == nullptr;
    };
    EnumThreadWindows(GetCurrentThreadId(), look, 0);
    return found;
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
    SetFileAttributesA(Path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(Path.c_str());
    RemoveDirectoryA(Path.c_str());
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
