// The real gradewick.exe driven from another process, as an automation tool would: the file
// selection screen, a new file through Save As (over a file that is there already, which Save As
// asks about), insertions read back from the disk, the results view, a target planned in the
// view's own menu, a subject removed from its row's menu, Exit with code 0, and the file opened
// again; in a folder of a plain name and in one named in several scripts. GRADEWICK_EXE in the
// environment names another program file (the package test runs the installed one).
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>

#include "encoding.h"
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

// Waits up to 15 s until done() holds.
template <typename Done> void Eventually(Done done) {
    for (int wait = 0; wait < 300 && !done(); ++wait) {
        Sleep(50);
    }
}

std::string Text(HWND dialog, int controlId) {
    wchar_t text[256] = L"";
    SendDlgItemMessageW(dialog, controlId, WM_GETTEXT, ARRAYSIZE(text),
                        reinterpret_cast<LPARAM>(text));
    return Utf8FromUtf16(text);
}

void SetText(HWND dialog, int controlId, const std::string& text) {
    SendDlgItemMessageW(dialog, controlId, WM_SETTEXT, 0,
                        reinterpret_cast<LPARAM>(Utf16FromUtf8(text).c_str()));
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
    std::ifstream file(Utf16FromUtf8(path).c_str(), std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// Starts the program; its file selection screen, or nullptr.
HWND Start(Process& process) {
    const char* exe = std::getenv("GRADEWICK_EXE");
    std::string commandLine = exe != nullptr ? exe : GRADEWICK_EXE;
    commandLine = '"' + commandLine + '"';
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return nullptr;
    }
    processId = process.dwProcessId;
    return WaitForDialog(IDC_FILE_OK);
}

// The results view once its rows are filled, or nullptr.
HWND ResultsShown() {
    HWND view = WaitForDialog(IDC_VIEW_SEMESTER_LIST);
    Eventually([&] { return view == nullptr || !Text(view, IDC_VIEW_GPA).empty(); });
    return view;
}

void ExitsWithZero(Process& process, HWND screen) {
    Post(screen, IDC_EXIT_BUTTON);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
    DWORD code = 1;
    GetExitCodeProcess(process.hProcess, &code);
    EXPECT_EQ(code, 0U);
}

void Insert(HWND entry, const char* subject) {
    SetText(entry, IDC_ENTRY_SUBJECT, subject);
    Post(entry, IDC_ENTRY_INSERT);
    Eventually([&] { return Text(entry, IDC_ENTRY_SUBJECT).empty(); }); // inserted
}

// A new file through Save As, insertions read back from the disk, the results view, a subject
// removed from its row's menu, Exit; then the file opened again through Open. The cases differ
// only by the names of folder and file.
TEST(Gradewick, AFileInAnyFolderIsCreatedWrittenShownChangedAndOpenedAgain) {
    const struct {
        const char* Folder;
        const char* File;
    } names[] = {{"gradewick-e2e", "marks.rst"}, {"gradewick-e2e Ünï 成绩 ✓", "marks-é成.rst"}};
    wchar_t temporary[MAX_PATH] = L"";
    GetTempPathW(MAX_PATH, temporary);
    for (const auto& name : names) {
        const std::string folder = Utf8FromUtf16(temporary) + name.Folder;
        const std::string path = folder + "\\" + name.File;
        SCOPED_TRACE(path);
        CreateDirectoryW(Utf16FromUtf8(folder).c_str(), nullptr);
        std::ofstream(Utf16FromUtf8(path).c_str(), std::ios::binary) << "last year";
        Process process;
        HWND files = Start(process);
        ASSERT_NE(files, nullptr) << "no file selection screen";
        Post(files, IDC_FILE_OK); // "New file" is chosen from the start
        // No keeps the Save As dialog; Yes takes the name. The file is emptied at the first
        // Insert.
        for (const int answer : {IDNO, IDYES}) {
            HWND saveAs = WaitForDialog(FileNameId);
            ASSERT_NE(saveAs, nullptr) << "no Save As dialog";
            SetText(saveAs, FileNameId, path);
            Post(saveAs, IDOK);
            HWND question = WaitForDialog(MessageTextId);
            ASSERT_NE(question, nullptr) << "replaced without asking";
            EXPECT_NE(Text(question, MessageTextId).find("already exists"), std::string::npos);
            Post(question, answer);
            Eventually([&] { return IsWindow(question) == FALSE; });
        }
        HWND entry = WaitForDialog(IDC_ENTRY_SUBJECT);
        ASSERT_NE(entry, nullptr) << "no subject entry screen";
        EXPECT_EQ(FileBytes(path), "last year") << "changed before the first Insert";
        SendDlgItemMessageA(entry, IDC_ENTRY_GRADE, CB_SETCURSEL, 1, 0);
        Post(entry, IDC_ENTRY_GRADE, CBN_SELCHANGE);
        Insert(entry, "Physics");
        Insert(entry, "Chemistry");
        Post(entry, IDC_ENTRY_VIEW_CGPA);
        HWND view = ResultsShown();
        ASSERT_NE(view, nullptr) << "no results view";
        const std::string chemistry = "Semester 1\r\nChemistry\r\n0\r\n1\r\n";
        EXPECT_EQ(FileBytes(path), "Semester 1\r\nPhysics\r\n0\r\n1\r\n" + chemistry);
        EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Physics");
        EXPECT_EQ(Text(view, IDC_VIEW_GPA), "3.70");

        // A right-click outside the rows, "Plan a target CGPA" by its mnemonic: the dialog
        // answers what is typed; Escape closes it alone, and nothing is written.
        const auto rightClick = [&](int controlId) {
            RECT cell{};
            GetWindowRect(GetDlgItem(view, controlId), &cell);
            POINT at{cell.left + 4, (cell.top + cell.bottom) / 2};
            ScreenToClient(view, &at);
            PostMessageA(view, WM_RBUTTONUP, 0, MAKELPARAM(at.x, at.y));
            return WaitForDialog(0);
        };
        HWND menu = rightClick(IDC_VIEW_CGPA);
        ASSERT_NE(menu, nullptr) << "no menu outside the rows";
        PostMessageA(menu, WM_CHAR, 'p', 0);
        HWND plan = WaitForDialog(IDC_PLAN_ANSWER);
        ASSERT_NE(plan, nullptr) << "no plan dialog";
        EXPECT_EQ(Text(plan, IDC_PLAN_NOW), "CGPA now: 3.70 over 2 credits.");
        SetText(plan, IDC_PLAN_TARGET, "3.8");
        EXPECT_EQ(Text(plan, IDC_PLAN_ANSWER),
                  "A in every subject gives a CGPA of 3.85.\r\nThat "
                  "is an average of 3.90 grade points over 2 credits.");
        PostMessageA(GetDlgItem(plan, IDC_PLAN_TARGET), WM_KEYDOWN, VK_ESCAPE, 0);
        Eventually([&] { return IsWindow(plan) == FALSE; });
        EXPECT_FALSE(IsWindow(plan)) << "Escape left the dialog up";
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 0), WAIT_TIMEOUT) << "Escape ended it";

        // A right-click on Physics, Remove, Yes: the menu is driven by keys, as it cannot be
        // read from another process.
        menu = rightClick(IDC_VIEW_ROW1_SUBJECT);
        ASSERT_NE(menu, nullptr) << "no menu on the row";
        PostMessageA(menu, WM_CHAR, 'r', 0);
        HWND question = WaitForDialog(MessageTextId);
        ASSERT_NE(question, nullptr) << "removed without asking";
        EXPECT_NE(Text(question, MessageTextId).find("\"Physics\""), std::string::npos);
        Post(question, IDYES);
        Eventually([&] { return Text(view, IDC_VIEW_ROW1_SUBJECT) == "Chemistry"; });
        EXPECT_EQ(FileBytes(path), chemistry);
        EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Chemistry");
        ExitsWithZero(process, view);

        // The file again, through "Existing file" and the Open dialog.
        Process again;
        files = Start(again);
        ASSERT_NE(files, nullptr) << "no file selection screen the second time";
        SendDlgItemMessageA(files, IDC_FILE_EXISTING, BM_CLICK, 0, 0);
        Post(files, IDC_FILE_OK);
        HWND open = WaitForDialog(FileNameId);
        ASSERT_NE(open, nullptr) << "no Open dialog";
        SetText(open, FileNameId, path);
        Post(open, IDOK);
        view = ResultsShown();
        ASSERT_NE(view, nullptr) << "no results view after Open";
        EXPECT_EQ(Text(view, IDC_VIEW_ROW1_SUBJECT), "Chemistry");
        ExitsWithZero(again, view);
        DeleteFileW(Utf16FromUtf8(path).c_str());
        RemoveDirectoryW(Utf16FromUtf8(folder).c_str());
    }
}

} // namespace
