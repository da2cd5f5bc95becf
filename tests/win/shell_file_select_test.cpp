// The file selection screen in process: real template and procedure, the real Save As and Open
// dialogs and message boxes, answered by a timer that finds them and presses their buttons.
#include <gtest/gtest.h>

#include <windows.h>

#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <deque>
#include <iterator>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app_state.h"
#include "file_select.h"
#include "resource.h"
#include "screen_flow.h"
#include "screen_harness.h"

namespace {

constexpr int FileNameId = 0x47c;     // the file dialogs' file name field
constexpr int MessageIconId = 0x0440; // a message box's icon

// --- Answering the modal boxes -----------------------------------------------------------------

struct Seen {
    bool FileDialog = false;
    std::string Caption;
    std::string Text; // a message box's text
    HWND Owner = nullptr;
    HICON Icon = nullptr; // a message box's icon
};

// What to do with the next box: a file dialog gets a name (or is cancelled), a message box
// gets its OK pressed.
struct Answer {
    bool Cancel = false;
    std::string Name;
};

std::deque<Answer> answers;
std::vector<Seen> seen;
std::set<HWND> handled;
std::set<HWND> sightedOnce;

std::string TextOf(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, static_cast<int>(sizeof text));
    return text;
}

BOOL CALLBACK FindDescendantById(HWND child, LPARAM param) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    auto* search = reinterpret_cast<std::pair<int, HWND>*>(param);
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (GetDlgCtrlID(child) == search->first && lstrcmpiA(className, "Edit") == 0) {
        search->second = child;
        return FALSE;
    }
    return TRUE;
}

HWND FileNameEdit(HWND dialog) {
    std::pair<int, HWND> search{FileNameId, nullptr};
    EnumChildWindows(dialog, FindDescendantById, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

BOOL CALLBACK ReadStatic(HWND child, LPARAM param) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    auto* box = reinterpret_cast<Seen*>(param);
    char className[16] = "";
    GetClassNameA(child, className, sizeof className);
    if (lstrcmpiA(className, "Static") == 0 && GetDlgCtrlID(child) != MessageIconId) {
        const std::string text = TextOf(child);
        if (text.size() > box->Text.size()) {
            box->Text = text;
        }
    }
    return TRUE;
}

void HandleBox(HWND window) {
    Seen box;
    box.Caption = TextOf(window);
    box.Owner = GetWindow(window, GW_OWNER);
    HWND edit = FileNameEdit(window);
    box.FileDialog = edit != nullptr;
    if (!box.FileDialog) {
        EnumChildWindows(window, ReadStatic, reinterpret_cast<LPARAM>(&box));
        box.Icon =
            // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
            reinterpret_cast<HICON>(SendDlgItemMessageA(window, MessageIconId, STM_GETICON, 0, 0));
    }
    seen.push_back(box);
    handled.insert(window);

    // Unexpected boxes are dismissed, so a failing test does not hang.
    Answer answer{true, ""};
    if (!answers.empty()) {
        answer = answers.front();
        answers.pop_front();
    }
    if (box.FileDialog && !answer.Cancel) {
        SetWindowTextA(edit, answer.Name.c_str());
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    } else {
        PostMessageA(window, WM_COMMAND, MAKEWPARAM(box.FileDialog ? IDCANCEL : IDOK, BN_CLICKED),
                     0);
    }
}

BOOL CALLBACK LookAtWindow(HWND window, LPARAM /*unused*/) {
    char className[16] = "";
    GetClassNameA(window, className, sizeof className);
    if (std::strcmp(className, "#32770") != 0 || !IsWindowVisible(window) ||
        GetDlgItem(window, IDC_FILE_OK) != nullptr || handled.count(window) != 0) {
        return TRUE;
    }
    // Act on the second sighting, when the box has finished setting itself up.
    if (sightedOnce.insert(window).second) {
        return TRUE;
    }
    HandleBox(window);
    return FALSE;
}

VOID CALLBACK AnswerTick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), LookAtWindow, 0);
}

int FileDialogsSeen() {
    return static_cast<int>(
        std::count_if(seen.begin(), seen.end(), [](const Seen& box) { return box.FileDialog; }));
}

std::vector<Seen> MessagesSeen() {
    std::vector<Seen> messages;
    std::copy_if(seen.begin(), seen.end(), std::back_inserter(messages),
                 [](const Seen& box) { return !box.FileDialog; });
    return messages;
}

constexpr int NotSet = -7;

class FileSelectTest : public testing::Test {
  protected:
    void SetUp() override {
        answers.clear();
        seen.clear();
        handled.clear();
        sightedOnce.clear();
        ResultFilePath[0] = '\0';
        IsNewFile = NotSet;
        MainWindow = nullptr;
        TakePendingScreen();
        TakeQuitCode();
        timer = SetTimer(nullptr, 0, 50, AnswerTick);
        screen = CreateScreen(IDD_FILE_SELECT);
        ASSERT_NE(screen, nullptr);
    }
    void TearDown() override {
        KillTimer(nullptr, timer);
        DestroyWindow(screen);
        if (MainWindow != nullptr) {
            DestroyWindow(MainWindow);
            MainWindow = nullptr;
        }
        TakePendingScreen();
        TakeQuitCode();
        for (const std::string& path : cleanUp) {
            DeleteFileA(path.c_str());
        }
    }

    // Chooses "New file" or "Existing file" as a click on it does, then presses OK.
    void ChooseAndPressOk(int choice) {
        SendDlgItemMessageA(screen, choice, BM_CLICK, 0, 0);
        SendCommand(screen, IDC_FILE_OK);
        PumpMessages();
    }

    std::string Existing(const char* suffix, const std::string& bytes = "Semester 1\r\n") {
        std::string path = TemporaryPath(suffix);
        WriteFileBytes(path, bytes);
        cleanUp.push_back(path);
        return path;
    }

    std::string Fresh(const char* suffix) {
        std::string path = TemporaryPath(suffix);
        cleanUp.push_back(path);
        return path;
    }

    UINT_PTR timer = 0;
    HWND screen = nullptr;
    std::vector<std::string> cleanUp;
};

// --- The screen --------------------------------------------------------------------------------

TEST_F(FileSelectTest, StartsWithNewFileSelectedAndClaimsNoMessage) {
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_NEW, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_EXISTING, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(DialogFunc1(screen, WM_INITDIALOG, 0, 0), FALSE);
    EXPECT_EQ(DialogFunc1(screen, WM_COMMAND, MAKEWPARAM(IDC_FILE_HINT, 0), 0), FALSE);
    EXPECT_EQ(DialogFunc1(screen, WM_USER, 0, 0), FALSE);
    // The two choices are one group: choosing one clears the other.
    SendDlgItemMessageA(screen, IDC_FILE_EXISTING, BM_CLICK, 0, 0);
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_NEW, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_EXISTING, BM_GETCHECK, 0, 0), BST_CHECKED);
    // WM_INITDIALOG again puts the choice back to "New file".
    DialogFunc1(screen, WM_INITDIALOG, 0, 0);
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_NEW, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_EXISTING, BM_GETCHECK, 0, 0), BST_UNCHECKED);
}

TEST_F(FileSelectTest, CancelEscapeAndTheCloseBoxEachPostQuitWithCodeZero) {
    SendCommand(screen, IDC_FILE_CANCEL);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    SendCommand(screen, IDCANCEL);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    SendMessageA(screen, WM_SYSCOMMAND, SC_CLOSE, 0);
    PumpMessages();
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    // The screen is not ended by these: the quit message ends its modal loop.
    EXPECT_TRUE(IsWindowVisible(screen));
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(seen.empty());
}

TEST_F(FileSelectTest, OtherControlsAndOkWithNoChoiceDoNothing) {
    for (int id : {IDC_FILE_GROUP, IDC_FILE_NEW, IDC_FILE_EXISTING, IDC_FILE_HINT, IDOK}) {
        SendCommand(screen, id);
    }
    SendDlgItemMessageA(screen, IDC_FILE_NEW, BM_SETCHECK, BST_UNCHECKED, 0);
    SendCommand(screen, IDC_FILE_OK);
    PumpMessages();
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(IsNewFile, NotSet);
    EXPECT_FALSE(TakeQuitCode().has_value());
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(IsWindowVisible(screen));
}

// --- The shared file dialog record -------------------------------------------------------------

TEST_F(FileSelectTest, BothDialogsShareOneRecordForThisBuildsPointerSize) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 InstanceHandle, nullptr);
    MainWindow = owner;
    for (FileDialogKind kind : {FileDialogKind::SaveAs, FileDialogKind::Open}) {
        OPENFILENAMEA record;
        std::memset(&record, 0xAB, sizeof record);
        FillFileDialogRecord(record, kind);
        EXPECT_EQ(record.lStructSize, OPENFILENAME_SIZE_VERSION_400A);
        EXPECT_EQ(record.lStructSize, offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR));
        EXPECT_EQ(record.hwndOwner, owner);
        EXPECT_EQ(record.hInstance, nullptr);
        const char filter[] = "Result Files (*.rst)\0*.rst\0";
        EXPECT_EQ(std::memcmp(record.lpstrFilter, filter, sizeof filter), 0);
        EXPECT_EQ(record.lpstrCustomFilter, nullptr);
        EXPECT_EQ(record.nMaxCustFilter, 0U);
        EXPECT_EQ(record.nFilterIndex, 1U);
        EXPECT_EQ(record.lpstrFile, ResultFilePath);
        EXPECT_EQ(record.nMaxFile, 256U);
        EXPECT_EQ(record.lpstrFileTitle, nullptr);
        EXPECT_EQ(record.nMaxFileTitle, 0U);
        EXPECT_EQ(record.lpstrInitialDir, nullptr);
        EXPECT_STREQ(record.lpstrTitle, "Select a file");
        EXPECT_STREQ(record.lpstrDefExt, "rst");
        EXPECT_EQ(record.nFileOffset, 0);
        EXPECT_EQ(record.nFileExtension, 0);
        EXPECT_EQ(record.lCustData, 0);
        EXPECT_EQ(record.lpfnHook, nullptr);
        EXPECT_EQ(record.lpTemplateName, nullptr);
        // Never a prompt before overwriting; Save As takes names that do not exist yet.
        const DWORD expected = kind == FileDialogKind::Open ? 0x1804U : 0x0804U;
        EXPECT_EQ(record.Flags, expected);
    }
}

TEST(FileSelectRules, DotRstAnywhereCaseSensitive) {
    EXPECT_TRUE(IsResultFileName("C:\\marks\\year1.rst"));
    EXPECT_TRUE(IsResultFileName("C:\\old.rst.files\\marks.txt"));
    EXPECT_TRUE(IsResultFileName("C:\\marks.rstx"));
    EXPECT_FALSE(IsResultFileName("C:\\marks\\YEAR1.RST"));
    EXPECT_FALSE(IsResultFileName("C:\\marks\\year1.rs"));
    EXPECT_FALSE(IsResultFileName("C:\\marks\\year1rst"));
    EXPECT_FALSE(IsResultFileName(""));
}

TEST(FileSelectRules, OpenErrorTextFitsItsBuffers) {
    EXPECT_EQ(OpenErrorText(1), "GetOpenFileName returned Error #1");
    EXPECT_EQ(OpenErrorText(0x3003), "GetOpenFileName returned Error #12291");
    EXPECT_EQ(OpenErrorText(65535), "GetOpenFileName returned Error #65535");
    // More digits than the platform ever gives are cut at the code buffer, never overrun it.
    EXPECT_EQ(OpenErrorText(123456789), "GetOpenFileName returned Error #1234567");
}

// --- New file ------------------------------------------------------------------------------------

TEST_F(FileSelectTest, NewFileTakesANameThatDoesNotExistYetAndAddsTheExtension) {
    const std::string name = Fresh("");
    cleanUp.push_back(name + ".rst");
    answers.push_back({false, name});
    ChooseAndPressOk(IDC_FILE_NEW);

    ASSERT_EQ(FileDialogsSeen(), 1);
    EXPECT_EQ(seen[0].Caption, "Select a file");
    EXPECT_EQ(seen[0].Owner, nullptr);
    EXPECT_TRUE(MessagesSeen().empty());
    EXPECT_EQ(std::string(ResultFilePath), name + ".rst");
    EXPECT_EQ(IsNewFile, 1);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);
    EXPECT_FALSE(IsWindowVisible(screen)); // ended
    // Nothing is written on this screen.
    EXPECT_EQ(GetFileAttributesA(ResultFilePath), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FileSelectTest, NewFileKeepsAnotherExtensionAndAnExistingFileWithoutAsking) {
    const std::string text = Fresh(".txt");
    answers.push_back({false, text});
    ChooseAndPressOk(IDC_FILE_NEW);
    EXPECT_EQ(std::string(ResultFilePath), text);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);

    ShowWindow(screen, SW_SHOW);
    const std::string old = Existing(".rst", "Semester 1\r\nOld\r\n0\r\n0\r\n");
    answers.push_back({false, old});
    ChooseAndPressOk(IDC_FILE_NEW);
    EXPECT_EQ(std::string(ResultFilePath), old);
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);
    EXPECT_TRUE(MessagesSeen().empty()) << "no confirmation before taking an existing file";
    EXPECT_EQ(ReadFileBytes(old), "Semester 1\r\nOld\r\n0\r\n0\r\n");
}

TEST_F(FileSelectTest, NewFileCancelledShowsNothingAndLeavesTheScreen) {
    std::strcpy(ResultFilePath, "C:\\earlier\\name.rst");
    answers.push_back({true, ""});
    ChooseAndPressOk(IDC_FILE_NEW);
    EXPECT_EQ(FileDialogsSeen(), 1);
    EXPECT_TRUE(MessagesSeen().empty());
    EXPECT_EQ(IsNewFile, 1);
    EXPECT_STREQ(ResultFilePath, "C:\\earlier\\name.rst");
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(IsWindowVisible(screen));
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_NEW, BM_GETCHECK, 0, 0), BST_CHECKED);
}

// --- Existing file -------------------------------------------------------------------------------

TEST_F(FileSelectTest, ExistingResultFileOpensTheResultsView) {
    const std::string path = Existing(".rst");
    answers.push_back({false, path});
    ChooseAndPressOk(IDC_FILE_EXISTING);
    ASSERT_EQ(FileDialogsSeen(), 1);
    EXPECT_EQ(seen[0].Caption, "Select a file");
    EXPECT_TRUE(MessagesSeen().empty());
    EXPECT_STREQ(ResultFilePath, path.c_str());
    EXPECT_EQ(IsNewFile, 0);
    EXPECT_EQ(TakePendingScreen(), IDD_RESULTS_VIEW);
    EXPECT_FALSE(IsWindowVisible(screen));
}

TEST_F(FileSelectTest, DotRstInAFolderNameIsEnough) {
    const std::string folder = Fresh(".rst-folder");
    ASSERT_NE(CreateDirectoryA(folder.c_str(), nullptr), 0);
    const std::string path = folder + "\\marks.txt";
    WriteFileBytes(path, "Semester 1\r\n");
    answers.push_back({false, path});
    ChooseAndPressOk(IDC_FILE_EXISTING);
    EXPECT_TRUE(MessagesSeen().empty());
    EXPECT_EQ(TakePendingScreen(), IDD_RESULTS_VIEW);
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(FileSelectTest, ANameWithoutDotRstIsRefusedAndKeptForTheNextTry) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 InstanceHandle, nullptr);
    MainWindow = owner;
    const std::string capitals = Existing(".RST");
    answers.push_back({false, capitals});
    answers.push_back({}); // OK on the message
    ChooseAndPressOk(IDC_FILE_EXISTING);

    ASSERT_EQ(FileDialogsSeen(), 1);
    EXPECT_EQ(seen[0].Owner, owner);
    const std::vector<Seen> messages = MessagesSeen();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].Caption, "Input Error");
    EXPECT_EQ(messages[0].Text, "The Filename you have entered is an invalid .rst file");
    EXPECT_EQ(messages[0].Owner, owner);
    EXPECT_EQ(messages[0].Icon, LoadIconA(nullptr, IDI_WARNING));
    EXPECT_STREQ(ResultFilePath, capitals.c_str());
    EXPECT_EQ(IsNewFile, 0);
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(IsWindowVisible(screen));
    EXPECT_EQ(SendDlgItemMessageA(screen, IDC_FILE_EXISTING, BM_GETCHECK, 0, 0), BST_CHECKED);

    // Cancelling the next try shows nothing and keeps the refused name.
    answers.push_back({true, ""});
    SendCommand(screen, IDC_FILE_OK);
    PumpMessages();
    EXPECT_EQ(FileDialogsSeen(), 2);
    EXPECT_EQ(MessagesSeen().size(), 1U);
    EXPECT_STREQ(ResultFilePath, capitals.c_str());
    EXPECT_EQ(TakePendingScreen(), 0);
}

TEST_F(FileSelectTest, AFailingOpenDialogIsReportedAndThePathKept) {
    // A real file whose full path is longer than the 256 characters of ResultFilePath: the
    // Open dialog fails with FNERR_BUFFERTOOSMALL.
    char folder[MAX_PATH] = "";
    GetTempPathA(MAX_PATH, folder);
    std::string path = folder;
    path += "gradewick-long-";
    path += std::string(258 - path.size() - 4, 'x');
    path += ".rst";
    ASSERT_EQ(path.size(), 258U);
    WriteFileBytes(path, "Semester 1\r\n");
    cleanUp.push_back(path);
    ASSERT_NE(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);

    std::strcpy(ResultFilePath, "C:\\earlier.rst");
    answers.push_back({false, path});
    answers.push_back({}); // OK on the message
    ChooseAndPressOk(IDC_FILE_EXISTING);

    const std::vector<Seen> messages = MessagesSeen();
    ASSERT_EQ(messages.size(), 1U);
    EXPECT_EQ(messages[0].Caption, "WARNING");
    EXPECT_EQ(messages[0].Text, "GetOpenFileName returned Error #12291");
    EXPECT_EQ(messages[0].Icon, LoadIconA(nullptr, IDI_ERROR));
    EXPECT_EQ(messages[0].Owner, nullptr);
    EXPECT_STREQ(ResultFilePath, "C:\\earlier.rst") << "the failed dialog's bytes are not kept";
    EXPECT_EQ(TakePendingScreen(), 0);
    EXPECT_TRUE(IsWindowVisible(screen));
}

} // namespace
