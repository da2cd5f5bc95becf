// The real gradewick.exe driven once from another process, as an automation tool would: the
// file selection screen, a new file through Save As (over a file that is there already, which
// Save As asks about), insertions read back from the disk, the results view, a subject removed
// from its row's menu, and Exit with code 0. GRADEWICK_EXE in the environment names another
// program file (the package test runs the installed one).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "resource.h"

namespace {

constexpr int FileNameId = 0x47c;     // the file dialogs' name field
constexpr int MessageTextId = 0xFFFF; // a message box's text
DWORD processId = 0;

// Waits for a visible top-level window of the program that has a control with this id, or
// (id 0) for its shortcut menu.
HWND WaitForDialog(int controlId) {
    static int id = 0;
    static HWND found = nullptr;
    id = controlId;
    found = nullptr;
    for (int wait = 0; wait < 600 && found == nullptr; ++wait) {
        Sleep(50);
        EnumWindows(
            [](HWND window, LPARAM) -> BOOL {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                char name[16] = "";
                GetClassNameA(window, name, ARRAYSIZE(name));
                const bool menu = std::string(name) == "#32768";
                if (owner == processId && IsWindowVisible(window) &&
                    (id == 0 ? menu : GetDlgItem(window, id) != nullptr)) {
                    found = window;
                }
                return found == nullptr;
            },
            0);
    }
    return found;
}

std::string Text(HWND dialog, int controlId) {
    char text[256] = "";
    SendDlgItemMessageA(dialog, controlId, WM_GETTEXT, ARRAYSIZE(text),
                        reinterpret_cast<LPARAM>(text));
    return text;
}

void Post(HWND dialog, int controlId, int notification = BN_CLICKED) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

// The program under test, ended when the test ends however it ends.
struct Process : PROCESS_INFORMATION {
    Process() : PROCESS_INFORMATION{} {}
    ~Process() {
        TerminateProcess(hProcess, 1);
        CloseHandle(hProcess);
        CloseHandle(hThread);
    }
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;
};

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

TEST(Gradewick, ANewFileTakesASubjectAndTheResultsViewShowsIt) {
    const char* exe = std::getenv("GRADEWICK_EXE");
    std::string commandLine = exe != nullptr ? exe : GRADEWICK_EXE;
    commandLine = '"' + commandLine + '"';
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = folder;
    path += "gradewick-e2e.rst";
    std::ofstream(path, std::ios::binary) << "last year";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    Process process;
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << commandLine;
    processId = process.dwProcessId;

    HWND files = WaitForDialog(IDC_FILE_OK);
    ASSERT_NE(files, nullptr) << "no file selection screen";
    Post(files, IDC_FILE_OK); // "New file" is chosen from the start
    // No keeps the Save As dialog; Yes takes the name. The file is emptied at the first Insert.
    for (const int answer : {IDNO, IDYES}) {
        HWND saveAs = WaitForDialog(FileNameId);
        ASSERT_NE(saveAs, nullptr) << "no Save As dialog";
        SendDlgItemMessageA(saveAs, FileNameId, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(path.c_str()));
        Post(saveAs, IDOK);
        HWND question = WaitForDialog(MessageTextId);
        ASSERT_NE(question, nullptr) << "replaced without asking";
        EXPECT_NE(Text(question, MessageTextId).find("already exists"), std::string::npos);
        Post(question, answer);
        for (int wait = 0; wait < 100 && IsWindow(question); ++wait) {
            Sleep(50);
        }
    }
    HWND entry = WaitForDialog(IDC_ENTRY_SUBJECT);
    ASSERT_NE(entry, nullptr) << "no subject entry screen";
    EXPECT_EQ(FileBytes(path), "last year") << "changed before the first Insert";
    SendDlgItemMessageA(entry, IDC_ENTRY_GRADE, CB_SETCURSEL, 1, 0);
    Post(entry, IDC_ENTRY_GRADE, CBN_SELCHANGE);
    for (const char* subject : {"Physics", "Chemistry"}) {
        SendDlgItemMessageA(entry, IDC_ENTRY_SUBJECT, WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(subject));
        Post(entry, IDC_ENTRY_INSERT);
        for (int wait = 0; wait < 100 && !Text(entry, IDC_ENTRY_SUBJECT).empty(); ++wait) {
            Sleep(50); // inserted once the field is empty again
        }
    }
    Post(entry, IDC_ENTRY_VIEW_CGPA);
    HWND view = WaitForDialog(IDC_VIEW_SEMESTER_LIST);
    ASSERT_NE(view, nullptr) << "no results view";
    const std::string chemistry = "Semester 1\r\nChemistry\r\n0\r\n1\r\n";
    EXPECT_EQ(FileBytes(path), "Semester 1\r\nPhysics\r\n0\r\n1\r\n" + chemistry);
    for (int wait = 0; wait < 300 && Text(view, IDC_VIEW_GPA).empty(); ++wait) {
        Sleep(50);
    }
    EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Physics\n");
    EXPECT_EQ(Text(view, IDC_VIEW_GPA), "3.70");

    // A right-click on Physics, Remove, Yes: the menu is driven by keys, as it cannot be read
    // from another process.
    RECT cell{};
    GetWindowRect(GetDlgItem(view, IDC_VIEW_ROW1_SUBJECT), &cell);
    POINT at{cell.left + 4, (cell.top + cell.bottom) / 2};
    ScreenToClient(view, &at);
    PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
    HWND menu = WaitForDialog(0);
    ASSERT_NE(menu, nullptr) << "no menu on the row";
    PostMessageA(menu, WM_CHAR, 'r', 0);
    HWND question = WaitForDialog(MessageTextId);
    ASSERT_NE(question, nullptr) << "removed without asking";
    EXPECT_NE(Text(question, MessageTextId).find("\"Physics\""), std::string::npos);
    Post(question, IDYES);
    for (int wait = 0; wait < 100 && FileBytes(path) != chemistry; ++wait) {
        Sleep(50);
    }
    EXPECT_EQ(FileBytes(path), chemistry);
    for (int wait = 0; wait < 100 && Text(view, IDC_VIEW_ROW1_SUBJECT) != "Chemistry\n"; ++wait) {
        Sleep(50);
    }
    EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Chemistry\n");

    Post(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0U);
    DeleteFileA(path.c_str());
}

} // namespace
