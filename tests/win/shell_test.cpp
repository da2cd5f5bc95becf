// Start-up, the splash and About screens and the screen loop, in process: real templates and
// procedures; whole screens are replaced by a recording runner where a test must not run them.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "resource.h"
#include "screen_flow.h"
#include "screen_harness.h"
#include "shell.h"

namespace {

// --- A recording stand-in for running screens ------------------------------------------------

struct ScreenRun {
    int DialogId;
    HWND Owner;
    HWND MainWindowThen; // MainWindow when the screen was opened
    int Depth;           // how many screens were running, this one included
};

std::vector<ScreenRun> runs;
int depth = 0;
// What each stand-in screen does while it "runs"; the default ends it without a change.
INT_PTR (*screenScript)(int call, int dialogId) = nullptr;

INT_PTR RecordingRunner(int dialogId, HWND owner) {
    ++depth;
    runs.push_back({dialogId, owner, MainWindow, depth});
    const int call = static_cast<int>(runs.size());
    const INT_PTR result = screenScript != nullptr ? screenScript(call, dialogId) : 1;
    --depth;
    return result;
}

class ShellTest : public testing::Test {
  protected:
    void SetUp() override {
        runs.clear();
        depth = 0;
        screenScript = nullptr;
        previousRunner = SetScreenRunner(RecordingRunner);
        MainWindow = nullptr;
        SplashWindow = nullptr;
        TakePendingScreen();
        TakeQuitCode();
    }
    void TearDown() override {
        SetScreenRunner(previousRunner);
        MainWindow = nullptr;
        TakePendingScreen();
        TakeQuitCode();
    }
    ScreenRunner previousRunner = nullptr;
};

SIZE BitmapSize(HWND dialog, int controlId) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    auto* bitmap = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageA(dialog, controlId, STM_GETIMAGE, IMAGE_BITMAP, 0));
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) {
        return {0, 0};
    }
    return {info.bmWidth, info.bmHeight};
}

// --- Splash and About --------------------------------------------------------------------------

TEST_F(ShellTest, SplashShowsItsPictureWithoutCaptionAndRecordsItselfOnEveryMessage) {
    HWND splash = CreateScreen(IDD_SPLASH);
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(SplashWindow, splash);
    EXPECT_EQ(GetWindowTextLengthA(splash), 0);
    EXPECT_NE(GetWindowLongA(splash, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    EXPECT_TRUE(ControlVisible(splash, IDC_SPLASH_PICTURE));
    const SIZE picture = BitmapSize(splash, IDC_SPLASH_PICTURE);
    EXPECT_EQ(picture.cx, 400);
    EXPECT_EQ(picture.cy, 279);

    SplashWindow = nullptr;
    EXPECT_EQ(DialogFunc4(splash, WM_USER + 7, 0, 0), FALSE);
    EXPECT_EQ(SplashWindow, splash);
    DestroyWindow(splash);
}

TEST_F(ShellTest, SplashEndsOnEscapeOnlyAndClaimsEveryCommand) {
    HWND splash = CreateScreen(IDD_SPLASH);
    ASSERT_NE(splash, nullptr);
    // Enter (IDOK) and any other command are claimed but leave the splash up.
    EXPECT_EQ(DialogFunc4(splash, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0), TRUE);
    EXPECT_EQ(DialogFunc4(splash, WM_COMMAND, MAKEWPARAM(IDC_SPLASH_PICTURE, 0), 0), TRUE);
    PumpMessages();
    EXPECT_TRUE(IsWindowVisible(splash));
    EXPECT_EQ(DialogFunc4(splash, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0), TRUE);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(splash)); // ended
    EXPECT_FALSE(TakeQuitCode().has_value());
    EXPECT_TRUE(runs.empty());
    DestroyWindow(splash);
}

TEST_F(ShellTest, AboutShowsItsPictureAndClosesWithOkEnterOrEscape) {
    for (int id : {IDOK, IDCANCEL}) {
        HWND about = CreateScreen(IDD_ABOUT);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(GetWindowTextLengthA(about), 0);
        EXPECT_EQ(ControlText(about, IDOK), "OK");
        EXPECT_EQ(SendMessageA(about, DM_GETDEFID, 0, 0), MAKELRESULT(IDOK, DC_HASDEFID));
        const SIZE picture = BitmapSize(about, IDC_ABOUT_PICTURE);
        EXPECT_EQ(picture.cx, 400);
        EXPECT_EQ(picture.cy, 279);

        EXPECT_EQ(DialogAbout(about, WM_COMMAND, MAKEWPARAM(IDC_ABOUT_PICTURE, 0), 0), TRUE);
        PumpMessages();
        EXPECT_TRUE(IsWindowVisible(about)) << "only OK and Escape close About";
        EXPECT_EQ(DialogAbout(about, WM_USER + 3, 0, 0), FALSE);
        SendCommand(about, id);
        PumpMessages();
        EXPECT_FALSE(IsWindowVisible(about)) << "command " << id;
        DestroyWindow(about);
    }
    EXPECT_FALSE(TakeQuitCode().has_value());
}

// The About screen opened over a screen: owned by MainWindow, and a change asked for while it
// is open runs at once (the About screen's modal loop is the one running).
HWND aboutSeen = nullptr;
HWND aboutOwner = nullptr;
int runsWhileAboutOpen = -1;

VOID CALLBACK CloseAboutFromTimer(HWND, UINT, UINT_PTR timerId, DWORD) {
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM) -> BOOL {
            if (IsWindowVisible(window) && GetDlgItem(window, IDC_ABOUT_PICTURE) != nullptr) {
                aboutSeen = window;
                return FALSE;
            }
            return TRUE;
        },
        0);
    if (aboutSeen == nullptr) {
        return;
    }
    KillTimer(nullptr, timerId);
    aboutOwner = GetWindow(aboutSeen, GW_OWNER);
    ChangeScreen(nullptr, IDD_RESULTS_VIEW);
    runsWhileAboutOpen = static_cast<int>(runs.size());
    PostMessageA(aboutSeen, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
}

TEST_F(ShellTest, AboutIsOwnedByMainWindowAndCountsAsANestedLoop) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 InstanceHandle, nullptr);
    MainWindow = owner;
    aboutSeen = nullptr;
    aboutOwner = nullptr;
    runsWhileAboutOpen = -1;
    SetTimer(nullptr, 0, 50, CloseAboutFromTimer);
    OpenAboutScreen();
    ASSERT_NE(aboutSeen, nullptr);
    EXPECT_FALSE(IsWindow(aboutSeen));
    EXPECT_EQ(aboutOwner, owner);
    EXPECT_EQ(runsWhileAboutOpen, 1);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].DialogId, IDD_RESULTS_VIEW);
    EXPECT_EQ(runs[0].Owner, owner);
    EXPECT_EQ(TakePendingScreen(), 0);
    DestroyWindow(owner);
}

// --- The screen loop -----------------------------------------------------------------------------

constexpr int ManyChanges = 1000;

INT_PTR BackAndForth(int call, int dialogId) {
    if (call > ManyChanges) {
        PostQuitMessage(0);
        return 0;
    }
    ChangeScreen(nullptr, dialogId == IDD_SUBJECT_ENTRY ? IDD_RESULTS_VIEW : IDD_SUBJECT_ENTRY);
    return 1;
}

TEST_F(ShellTest, ManyChangesRunOneScreenAtATimeInOrderWithTheirOwners) {
    screenScript = BackAndForth;
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    HWND first = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    HWND later = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x5678));
    MainWindow = later;
    RunScreens(IDD_FILE_SELECT, first);

    ASSERT_EQ(runs.size(), static_cast<size_t>(ManyChanges + 1));
    EXPECT_EQ(runs[0].DialogId, IDD_FILE_SELECT);
    EXPECT_EQ(runs[0].Owner, first);
    int deepest = 0;
    for (size_t i = 1; i < runs.size(); ++i) {
        EXPECT_EQ(runs[i].Owner, later) << "run " << i;
        const int expected = (i % 2 == 1) ? IDD_SUBJECT_ENTRY : IDD_RESULTS_VIEW;
        EXPECT_EQ(runs[i].DialogId, expected) << "run " << i;
        deepest = std::max(deepest, runs[i].Depth);
    }
    EXPECT_EQ(deepest, 1) << "screens must not nest";
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    EXPECT_EQ(TakePendingScreen(), 0);
}

INT_PTR ChangeInsideNestedLoop(int call, int /*dialogId*/) {
    if (call == 1) {
        NestedLoopScope nested; // a message box or file dialog of this screen is open
        ChangeScreen(nullptr, IDD_RESULTS_VIEW);
        return 1;
    }
    PostQuitMessage(0);
    return 0;
}

TEST_F(ShellTest, AChangeDuringANestedLoopOpensTheNextScreenAtOnce) {
    screenScript = ChangeInsideNestedLoop;
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_EQ(runs[1].DialogId, IDD_RESULTS_VIEW);
    EXPECT_EQ(runs[1].Depth, 2);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
}

INT_PTR ChangeThenQuit(int /*call*/, int /*dialogId*/) {
    ChangeScreen(nullptr, IDD_RESULTS_VIEW);
    PostQuitMessage(0);
    return 0;
}

INT_PTR EndWithoutChange(int /*call*/, int /*dialogId*/) {
    return 1;
}

INT_PTR CannotBeCreated(int /*call*/, int /*dialogId*/) {
    return -1;
}

TEST_F(ShellTest, TheLoopEndsOnQuitOnAnEndWithoutChangeAndOnAScreenThatCannotOpen) {
    screenScript = ChangeThenQuit;
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    EXPECT_EQ(runs.size(), 1U) << "a change named just before the quit is dropped";
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));

    runs.clear();
    screenScript = EndWithoutChange;
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    EXPECT_EQ(runs.size(), 1U);
    EXPECT_FALSE(TakeQuitCode().has_value());

    runs.clear();
    screenScript = CannotBeCreated;
    RunScreens(IDD_RESULTS_VIEW, nullptr);
    EXPECT_EQ(runs.size(), 1U);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(1));

    // The real runner with a dialog id that has no template.
    SetScreenRunner(nullptr);
    RunScreens(99, nullptr);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(1));
}

TEST_F(ShellTest, AChangeFromAScreenEndsItAndStaysPendingUntilTheLoopOpensIt) {
    HWND screen = CreateScreen(IDD_ABOUT, DialogAbout);
    ASSERT_NE(screen, nullptr);
    ChangeScreen(screen, IDD_SUBJECT_ENTRY);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(screen));
    EXPECT_TRUE(runs.empty());
    EXPECT_EQ(TakePendingScreen(), IDD_SUBJECT_ENTRY);
    EXPECT_EQ(TakePendingScreen(), 0);
    DestroyWindow(screen);
}

// --- Start-up
// --------------------------------------------------------------------------------------

TEST_F(ShellTest, SplashTimerKillsItselfEndsTheSplashAndOpensFileSelectionWithoutOwner) {
    HWND splash = CreateScreen(IDD_SPLASH);
    ASSERT_NE(splash, nullptr);
    // As after Escape on the splash: the main window exists by the time the timer fires.
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 InstanceHandle, nullptr);
    MainWindow = owner;
    SplashTimerId = SetTimer(nullptr, 0, 600000, SplashTimerProc);
    ASSERT_NE(SplashTimerId, 0U);

    SplashTimerProc(nullptr, WM_USER, SplashTimerId, 0); // not a timer message: nothing
    EXPECT_TRUE(runs.empty());
    EXPECT_TRUE(IsWindowVisible(splash));

    SplashTimerProc(nullptr, WM_TIMER, SplashTimerId, 0);
    PumpMessages();
    EXPECT_FALSE(IsWindowVisible(splash));
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].DialogId, IDD_FILE_SELECT);
    EXPECT_EQ(runs[0].Owner, nullptr);
    EXPECT_EQ(KillTimer(nullptr, SplashTimerId), FALSE) << "the timer should be killed already";
    DestroyWindow(splash);
    DestroyWindow(owner);
}

// Runs the whole start-up with the working screens replaced by one that quits at once.
INT_PTR QuitAtOnce(int /*call*/, int /*dialogId*/) {
    PostQuitMessage(0);
    return 0;
}

HWND splashSeenByTimer = nullptr;

VOID CALLBACK EscapeOnSplash(HWND, UINT, UINT_PTR timerId, DWORD) {
    if (SplashWindow != nullptr && IsWindowVisible(SplashWindow)) {
        KillTimer(nullptr, timerId);
        splashSeenByTimer = SplashWindow;
        PostMessageA(SplashWindow, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

void ForgetMainWindow() {
    if (MainWindow != nullptr) {
        DestroyWindow(MainWindow);
    }
    MainWindow = nullptr;
    UnregisterClassA(MainWindowClassName, InstanceHandle);
}

TEST_F(ShellTest, StartUpRunsTheSplashForThreeSecondsInsideTheHiddenMainWindowsCreation) {
    screenScript = QuitAtOnce;
    const ULONGLONG started = GetTickCount64();
    const int code = RunProgram(InstanceHandle, nullptr);
    const ULONGLONG elapsed = GetTickCount64() - started;

    EXPECT_EQ(code, 0);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].DialogId, IDD_FILE_SELECT);
    EXPECT_EQ(runs[0].Owner, nullptr);
    // The working screens ran inside the main window's creation: it was not stored yet.
    EXPECT_EQ(runs[0].MainWindowThen, nullptr);
    EXPECT_GE(elapsed, 2900U);
    EXPECT_NE(SplashWindow, nullptr);
    EXPECT_FALSE(IsWindow(SplashWindow));

    ASSERT_NE(MainWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(MainWindow));
    char className[32] = "";
    GetClassNameA(MainWindow, className, sizeof className);
    EXPECT_STREQ(className, "nama klas");
    char caption[32] = "";
    GetWindowTextA(MainWindow, caption, sizeof caption);
    EXPECT_STREQ(caption, "Gradewick");
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_STYLE) & WS_OVERLAPPEDWINDOW, WS_OVERLAPPEDWINDOW);
    EXPECT_EQ(GetWindowLongA(MainWindow, GWL_EXSTYLE) & ~WS_EX_WINDOWEDGE, 0);
    EXPECT_EQ(GetClassLongPtrA(MainWindow, GCL_STYLE), 0);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrA(MainWindow, GCLP_HBRBACKGROUND)),
              GetStockObject(LTGRAY_BRUSH));
    EXPECT_NE(GetClassLongPtrA(MainWindow, GCLP_HICON), 0);
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    EXPECT_EQ(reinterpret_cast<HCURSOR>(GetClassLongPtrA(MainWindow, GCLP_HCURSOR)),
              LoadCursorA(nullptr, IDC_ARROW));
    ForgetMainWindow();
}

TEST_F(ShellTest, EscapeOnTheSplashLetsTheMainWindowBeStoredBeforeTheTimerFires) {
    screenScript = QuitAtOnce;
    splashSeenByTimer = nullptr;
    SetTimer(nullptr, 0, 100, EscapeOnSplash);
    const int code = RunProgram(InstanceHandle, nullptr);
    EXPECT_EQ(code, 0);
    ASSERT_NE(splashSeenByTimer, nullptr);
    ASSERT_EQ(runs.size(), 1U);
    // The file selection screen still has no owner, though MainWindow was stored by then.
    EXPECT_EQ(runs[0].Owner, nullptr);
    EXPECT_NE(runs[0].MainWindowThen, nullptr);
    EXPECT_EQ(runs[0].MainWindowThen, MainWindow);
    ForgetMainWindow();
}

TEST_F(ShellTest, StartUpEndsAtOnceWhenTheWindowClassCannotBeRegistered) {
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = InstanceHandle;
    taken.lpszClassName = MainWindowClassName;
    ASSERT_NE(RegisterClassA(&taken), 0);
    EXPECT_EQ(RunProgram(InstanceHandle, nullptr), 0);
    EXPECT_EQ(MainWindow, nullptr);
    EXPECT_TRUE(runs.empty());
    UnregisterClassA(MainWindowClassName, InstanceHandle);
}

} // namespace
