// End-to-end driver: starts the real gradewick.exe as a separate process and works it from
// outside through window messages, as an automation tool would.
//
// Every screen of the program is a dialog box (class "#32770"); the working screens all carry
// the caption "Gradewick", so screens are told apart by a control that only they have:
//
//     IDC_SPLASH_PICTURE (105)      splash
//     IDC_ABOUT_PICTURE (100)       About
//     IDC_FILE_OK (110)             file selection
//     IDC_ENTRY_SUBJECT (135)       subject entry
//     IDC_VIEW_SEMESTER_LIST (164)  results view
//
// Typical use:
//
//     e2e::Program program;
//     ASSERT_TRUE(program.Start());
//     HWND files = program.WaitForScreen(IDC_FILE_OK);
//     ASSERT_NE(files, nullptr);
//     e2e::Click(files, IDC_FILE_CANCEL);
//     EXPECT_EQ(program.WaitForExit(), 0);
//
// driver.cpp holds main(): a *_e2e.cpp file holds only its tests.
//
// Rules worth knowing:
// - Post, do not send, a click whose handler opens another modal screen (a file dialog, a
//   message box, the next screen): a sent message returns only when that screen closes.
//   Click() posts; SendClick() sends and returns once the handler has finished.
// - Texts of another process's controls are read and written with WM_GETTEXT / WM_SETTEXT
//   (GetWindowText does not read them). Sends here use a timeout, so a hung program fails
//   the test instead of hanging it.
// - WM_SETTEXT on an edit control makes it send EN_CHANGE to its dialog, as typing does.
// - Every wait polls every PollMilliseconds until its condition holds or the timeout passes.
// - A Program that is still running when it goes out of scope is killed (TerminateProcess on
//   its own handle), so a failed test never leaves the program behind.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "resource.h"

// The program under test, from the current folder (CTest runs the drivers in its folder).
#ifndef GRADEWICK_EXE
#define GRADEWICK_EXE "gradewick.exe"
#endif

namespace e2e {

constexpr DWORD PollMilliseconds = 50;
constexpr DWORD DefaultTimeoutMilliseconds = 10000;
constexpr UINT SendTimeoutMilliseconds = 5000;

// The standard file dialogs: title, the combo box whose edit takes the file name, OK.
constexpr char FileDialogTitle[] = "Select a file";
constexpr int FileNameComboId = 0x47c;
constexpr int FileDialogOkId = IDOK;

// Milliseconds since some fixed moment (GetTickCount64).
std::uint64_t NowMilliseconds();

// Polls condition every PollMilliseconds until it holds (true) or timeout passes (false).
bool WaitUntil(const std::function<bool()>& condition,
               DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds);

// The class name of a window ("#32770" for dialogs), "" if it does not exist.
std::string ClassName(HWND window);

// A message box or other small dialog read from outside.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string caption;
    std::string text;
};

// One run of the program.
class Program {
  public:
    Program() = default;
    ~Program(); // kills the process if it still runs
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Starts the program (by default GRADEWICK_EXE from the current folder) with
    // CreateProcessA. The show command, if given, goes to the program through STARTUPINFO.
    // Returns false if the process could not be created.
    bool Start(const std::string& executable = DefaultExecutable(),
               std::optional<WORD> showCommand = std::nullopt);
    static std::string DefaultExecutable() { return GRADEWICK_EXE; }

    DWORD ProcessId() const { return processId_; }
    DWORD ThreadId() const { return threadId_; }
    HANDLE ProcessHandle() const { return process_; }
    // NowMilliseconds() just after CreateProcessA returned.
    std::uint64_t StartedAt() const { return startedAt_; }

    bool Running() const;

    // Waits for the process to end; its exit code, or nothing if it still runs at the timeout.
    std::optional<DWORD> WaitForExit(DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds);

    // Ends the process (TerminateProcess) if it still runs and waits for it.
    void Kill();

    // Top-level windows of the process (EnumWindows filtered by process id).
    std::vector<HWND> TopLevelWindows(bool visibleOnly = false) const;
    // Top-level windows of the given class, e.g. "#32770" for dialogs (visible or not).
    int CountTopLevelWindows(const char* className = nullptr, bool visibleOnly = false) const;
    // Every window of the process: the top-level ones and all their descendants.
    int CountAllWindows() const;

    // The visible top-level dialog of the process that has a child with controlId, or nullptr.
    HWND FindScreen(int controlId) const;
    // Waits for FindScreen(controlId) to find a window.
    HWND WaitForScreen(int controlId, DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds) const;
    // Waits until no visible dialog of the process has controlId.
    bool WaitForScreenGone(int controlId,
                           DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds) const;

    // The visible top-level window of the process with this class and caption, or nullptr.
    HWND FindWindowByCaption(const char* className, const std::string& caption) const;
    HWND WaitForWindowByCaption(const char* className, const std::string& caption,
                                DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds) const;

    // The standard Save As or Open dialog ("#32770" titled "Select a file"), once visible.
    HWND WaitForFileDialog(DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds) const;

    // Waits for a visible message box of the process: a "#32770" dialog that is neither one of
    // the program's screens (IsProgramScreen) nor a standard file dialog. With a caption, only
    // a box with exactly that caption counts. Returns its caption and text.
    std::optional<MessageBoxInfo>
    WaitForMessageBox(DWORD timeoutMilliseconds = DefaultTimeoutMilliseconds,
                      const std::optional<std::string>& caption = std::nullopt) const;

    // The window that has the keyboard focus in the program's thread (GetGUIThreadInfo).
    HWND FocusWindow() const;

  private:
    HANDLE process_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD processId_ = 0;
    DWORD threadId_ = 0;
    std::uint64_t startedAt_ = 0;
};

// Whether window is one of the program's own screens (it has one of the five telling controls).
bool IsProgramScreen(HWND window);
// Whether window is a standard file dialog (it has the file name combo box 0x47c).
bool IsFileDialog(HWND window);

// GetWindow(window, GW_OWNER): the owner of a top-level window, nullptr if it has none.
HWND Owner(HWND window);
bool WindowEnabled(HWND window);

// --- Controls of another process -----------------------------------------------------------

// The control's window (GetDlgItem), nullptr if the dialog has none with that id.
HWND Control(HWND dialog, int controlId);
bool HasControl(HWND dialog, int controlId);

// The first descendant (at any depth) with this id and, if given, this class.
HWND FindDescendant(HWND parent, int controlId, const char* className = nullptr);

// Window texts through WM_GETTEXT / WM_SETTEXT (sent with a timeout).
std::string WindowText(HWND window);
bool SetWindowTextRemote(HWND window, const std::string& text);
std::string ControlText(HWND dialog, int controlId);
bool SetControlText(HWND dialog, int controlId, const std::string& text);

bool WindowVisible(HWND window);
bool ControlVisible(HWND dialog, int controlId);
bool ControlEnabled(HWND dialog, int controlId);

// BM_GETCHECK of a check box or radio button (BST_CHECKED, BST_UNCHECKED, ...).
LRESULT ButtonCheck(HWND dialog, int controlId);
// BM_SETCHECK, sent (the button's dialog is not told).
void SetButtonCheck(HWND dialog, int controlId, WPARAM state);

// --- Input -----------------------------------------------------------------------------------

// Posts WM_COMMAND(controlId, BN_CLICKED, the control's window) to the dialog, as a click on a
// button does. Returns at once; use it when the click opens another modal screen.
void Click(HWND dialog, int controlId);
// The same, sent: returns when the dialog has handled the click.
void SendClick(HWND dialog, int controlId);
// A click on the button itself (BM_CLICK, sent): an automatic radio button is checked and
// the others of its group cleared, and the dialog gets BN_CLICKED, as with the mouse. Only for
// buttons whose click opens no modal screen.
void ClickButton(HWND dialog, int controlId);
// Posts WM_COMMAND with any id and notification (e.g. IDCANCEL, which Escape produces).
void PostCommand(HWND dialog, int controlId, int notification = BN_CLICKED);

// Escape as the dialog manager turns it into a command: WM_COMMAND IDCANCEL, posted.
void PressEscapeCommand(HWND dialog);
// A key press as the keyboard delivers it to target (usually the focus window or the
// dialog): WM_KEYDOWN, then WM_CHAR if the key makes a character, then WM_KEYUP, posted.
void PressKey(HWND target, UINT virtualKey);
// The close box: WM_SYSCOMMAND SC_CLOSE, posted.
void PressCloseBox(HWND window);

// Selects item index of a combo box (CB_SETCURSEL), then sends its dialog the notifications a
// user's choice produces (by default CBN_SELCHANGE, CBN_SELENDOK, CBN_CLOSEUP, in that order).
void SelectComboItem(HWND dialog, int controlId, int index,
                     std::initializer_list<int> notifications = {CBN_SELCHANGE, CBN_SELENDOK,
                                                                 CBN_CLOSEUP});
int ComboSelection(HWND dialog, int controlId); // CB_GETCURSEL
int ComboCount(HWND dialog, int controlId);     // CB_GETCOUNT
std::string ComboItemText(HWND dialog, int controlId, int index);

// Pointer messages at client coordinates of window, posted (the window gets them as if the
// pointer were there; no real pointer moves).
void MouseMove(HWND window, int x, int y);
void MouseDown(HWND window, int x, int y);
void MouseUp(HWND window, int x, int y);
void MouseClick(HWND window, int x, int y); // down, then up

// --- Standard file dialogs and message boxes ------------------------------------------------

// Types path into the file name field of a standard file dialog and presses its OK button.
bool AnswerFileDialog(HWND fileDialog, const std::string& path);
// Presses Cancel (IDCANCEL) on a standard file dialog.
void CancelFileDialog(HWND fileDialog);

// Reads a message box's caption and text (the longest static text in it).
MessageBoxInfo ReadMessageBox(HWND box);
// Presses a message box's button (IDOK by default), posted.
void PressMessageBoxButton(HWND box, int buttonId = IDOK);

// --- The usual ways in ------------------------------------------------------------------------

// Starts the program and waits for the file selection screen (the splash comes first); a
// failure is reported to the running test and gives nullptr.
HWND StartAtFileSelection(Program& program, DWORD timeoutMilliseconds = 25000,
                          const std::string& executable = Program::DefaultExecutable());
// On the file selection screen: "New file", path named in Save As; the subject entry screen.
HWND ChooseNewFile(const Program& program, HWND fileSelection, const std::string& path);
// On the file selection screen: "Existing file", path named in Open; the results view.
HWND ChooseExistingFile(const Program& program, HWND fileSelection, const std::string& path);

// One record as the program stores it: four lines, each ending in CR LF.
std::string StoredRecord(int semester, const std::string& subject, int creditIndex, int gradeIndex);

// --- Files -----------------------------------------------------------------------------------

// A fresh path in the temporary folder ending in suffix (nothing is created; an old file of
// that name is deleted).
std::string TemporaryPath(const std::string& suffix);
bool FileExists(const std::string& path);
std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

} // namespace e2e
