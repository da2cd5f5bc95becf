// The real gradewick.exe driven once from another process, as an automation tool would: the
// file selection screen, a new file through Save As, an insertion read back from the disk, the
// results view, and Exit with code 0. GRADEWICK_EXE in the environment names another program
// file (the package test runs the installed one).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

#include "resource.h"

namespace {

constexpr int FileNameId = 0x47c; // the file dialogs' name field: an edit inside combo boxes
DWORD processId = 0;

bool WaitUntil(const std::function<bool()>& condition, DWORD milliseconds = 30000) {
    for (DWORD waited = 0; waited < milliseconds; waited += 50) {
        if (condition()) {
            return true;
        }
        Sleep(50);
    }
    return condition();
}

// The visible dialog of the program that holds a window with this id (and class) at any depth.
HWND FindDialog(int controlId, const char* className = nullptr) {
    struct Search {
        int Id;
        const char* Class;
        HWND Child;
        HWND Dialog;
    } search{controlId, className, nullptr, nullptr};
    EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param); // NOLINT(performance-no-int-to-ptr)
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            if (owner != processId || !IsWindowVisible(window)) {
                return TRUE;
            }
            EnumChildWindows(
                window,
                [](HWND child, LPARAM param) -> BOOL {
                    auto* s = reinterpret_cast<Search*>(param); // NOLINT
                    char name[32] = "";
                    GetClassNameA(child, name, ARRAYSIZE(name));
                    if (GetDlgCtrlID(child) == s->Id &&
                        (s->Class == nullptr || lstrcmpiA(name, s->Class) == 0)) {
                        s->Child = child;
                    }
                    return s->Child == nullptr;
                },
                param);
            s->Dialog = s->Child != nullptr ? window : nullptr;
            return s->Dialog == nullptr;
        },
        reinterpret_cast<LPARAM>(&search));
    return className != nullptr ? search.Child : search.Dialog;
}

HWND WaitForDialog(int controlId, const char* className = nullptr) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindDialog(controlId, className)) != nullptr; });
    return found;
}

std::string Text(HWND dialog, int controlId) {
    char text[256] = "";
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(GetDlgItem(dialog, controlId), WM_GETTEXT, ARRAYSIZE(text),
                        reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
    return text;
}

void Command(HWND dialog, int controlId, int notification = BN_CLICKED) {
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, notification),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, controlId)));
}

TEST(Gradewick, ANewFileTakesASubjectAndTheResultsViewShowsIt) {
    const char* exe = std::getenv("GRADEWICK_EXE");
    std::string commandLine = exe != nullptr ? exe : GRADEWICK_EXE;
    commandLine = '"' + commandLine + '"';
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = folder;
    path += "gradewick-e2e.rst";
    DeleteFileA(path.c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    ASSERT_TRUE(CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, &startup, &process))
        << commandLine;
    processId = process.dwProcessId;

    HWND files = WaitForDialog(IDC_FILE_OK);
    ASSERT_NE(files, nullptr) << "no file selection screen";
    Command(files, IDC_FILE_OK); // "New file" is chosen from the start
    HWND name = WaitForDialog(FileNameId, "Edit");
    ASSERT_NE(name, nullptr) << "no Save As dialog";
    SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
    PostMessageA(GetAncestor(name, GA_ROOT), WM_COMMAND, IDOK, 0);

    HWND entry = WaitForDialog(IDC_ENTRY_SUBJECT);
    ASSERT_NE(entry, nullptr) << "no subject entry screen";
    SendDlgItemMessageA(entry, IDC_ENTRY_SUBJECT, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>("Physics"));
    SendDlgItemMessageA(entry, IDC_ENTRY_GRADE, CB_SETCURSEL, 1, 0);
    Command(entry, IDC_ENTRY_GRADE, CBN_SELCHANGE);
    Command(entry, IDC_ENTRY_INSERT);
    std::string bytes;
    WaitUntil([&] {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        return !bytes.empty();
    });
    EXPECT_EQ(bytes, "Semester 1\r\nPhysics\r\n0\r\n1\r\n");

    Command(entry, IDC_ENTRY_VIEW_CGPA);
    HWND view = WaitForDialog(IDC_VIEW_SEMESTER_LIST);
    ASSERT_NE(view, nullptr) << "no results view";
    EXPECT_TRUE(WaitUntil([&] { return !Text(view, IDC_VIEW_GPA).empty(); }))
        << "the results never appeared";
    EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Physics\n");
    EXPECT_EQ(Text(view, IDC_VIEW_GPA), "3.70");

    Command(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0U);
    TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    DeleteFileA(path.c_str());
}

} // namespace
