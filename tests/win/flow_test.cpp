// Changing screens, start-up and the ways out, in process: the screen loop with a recording
// runner, then the real screens through the real RunScreens.
#include "harness.h"
#include "results_view.h"
#include "shell.h"

namespace {

struct Run {
    int DialogId;
    HWND Owner;
};
std::vector<Run> runs;
INT_PTR (*script)(int call) = nullptr;

INT_PTR RecordingRunner(int dialogId, HWND owner) {
    runs.push_back({dialogId, owner});
    return script(static_cast<int>(runs.size()));
}

class FlowTest : public testing::Test {
  protected:
    void SetUp() override {
        runs.clear();
        previous_ = SetScreenRunner(RecordingRunner);
        TakeQuitCode();
    }
    void TearDown() override {
        SetScreenRunner(previous_);
        DestroyWindow(MainWindow);
        UnregisterClassA(MainWindowClassName, InstanceHandle);
        MainWindow = nullptr;
        TakePendingScreen();
        TakeQuitCode();
    }
    ScreenRunner previous_ = nullptr;
};

TEST_F(FlowTest, TheLoopEndsOnQuitAndOnAScreenThatCannotOpen) {
    script = [](int call) -> INT_PTR {
        if (call == 1) {
            ChangeScreen(nullptr, IDD_RESULTS_VIEW);
        }
        PostQuitMessage(0);
        return 0;
    };
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    EXPECT_EQ(runs.size(), 1U) << "a change named just before the quit is dropped";
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));

    SetScreenRunner(nullptr); // the real runner, with a dialog that has no template
    RunScreens(99, nullptr);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(1));
}

TEST_F(FlowTest, StartUpShowsTheSplashForThreeSecondsThenTheFileSelectionScreen) {
    script = [](int) -> INT_PTR {
        PostQuitMessage(0);
        return 0;
    };
    // Escape ends the splash early; the file selection screen still waits for the timer.
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR timer, DWORD) {
        if (SplashWindow != nullptr && IsWindowVisible(SplashWindow)) {
            KillTimer(nullptr, timer);
            PostMessageA(SplashWindow, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    });
    const ULONGLONG started = GetTickCount64();
    EXPECT_EQ(RunProgram(InstanceHandle, nullptr), 0);
    EXPECT_GE(GetTickCount64() - started, 2900U);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(runs[0].DialogId, IDD_FILE_SELECT);
    EXPECT_EQ(runs[0].Owner, nullptr);
    EXPECT_FALSE(IsWindow(SplashWindow));
    EXPECT_FALSE(IsWindowVisible(MainWindow));
}

TEST_F(FlowTest, StartUpFailuresEndTheProgramWithANonZeroCode) {
    PostQuitMessage(7); // what a message loop run in vain would return
    EXPECT_EQ(RunProgram(InstanceHandle, InstanceHandle), StartupFailedExitCode) << "no class";
    WNDCLASSA taken = {};
    taken.lpfnWndProc = DefWindowProcA;
    taken.hInstance = InstanceHandle;
    taken.lpszClassName = MainWindowClassName;
    ASSERT_NE(RegisterClassA(&taken), 0);
    EXPECT_EQ(RunProgram(InstanceHandle, nullptr), StartupFailedExitCode) << "class taken";
    EXPECT_TRUE(runs.empty());
}

TEST(WaysOut, EveryWayOutOfAScreenDeletesItsFonts) {
    TempFile file;
    file.Write(Record(1, "Algebra", 3, 0));
    lstrcpynA(ResultFilePath, file.Path.c_str(), ResultFilePathSize);
    IsNewFile = 0;
    ModalAnswerer answerer;
    const struct {
        int Screen;
        int Command;
        int Next; // 0: the program quits with code 0
    } ways[] = {{IDD_FILE_SELECT, IDC_FILE_CANCEL, 0},
                {IDD_FILE_SELECT, IDCANCEL, 0},
                {IDD_SUBJECT_ENTRY, IDC_EXIT_BUTTON, 0},
                {IDD_SUBJECT_ENTRY, IDCANCEL, 0},
                {IDD_RESULTS_VIEW, IDC_EXIT_BUTTON, 0},
                {IDD_RESULTS_VIEW, IDCANCEL, 0}}; // the changes of screen: Endurance
    for (const auto& way : ways) {
        SCOPED_TRACE(testing::Message() << "screen " << way.Screen << " command " << way.Command);
        HWND screen = CreateScreen(way.Screen);
        const std::vector<HGDIOBJ> fonts = ScreenFonts(screen);
        SendCommand(screen, way.Command);
        EXPECT_EQ(LiveObjects(fonts), 0) << "of " << fonts.size() << " fonts";
        // The screen stays on screen until every loop has unwound: no label paints with a font
        // that is gone.
        EXPECT_EQ(LiveObjects(ScreenFonts(screen)), static_cast<int>(ScreenFonts(screen).size()));
        EXPECT_EQ(TakePendingScreen(), way.Next);
        EXPECT_EQ(TakeQuitCode(), way.Next == 0 ? std::optional<WPARAM>(0) : std::nullopt);
        DestroyWindow(screen);
    }
}

// The real screens, changed back and forth many times through the real loop: at every visit of
// a screen the fonts of the screen before it are gone and the windows of the thread are what
// they were at its last visit. (Only the last screen's fonts: a deleted object's handle comes
// back for a new object of its kind after a few hundred uses of its slot.) The last results view is
// left to show its results, which one animation timer brings after 30 ticks of 150 ms, however many
// views came before it.
struct Visit {
    std::vector<HGDIOBJ> Fonts;
    int Windows;
    int PreviousFontsAlive;
};
std::vector<Visit> visits;
constexpr std::size_t VisitCount = 100; // the last is a results view
ULONGLONG lastViewOpened = 0;
ULONGLONG resultsAfter = 0;

VOID CALLBACK DriveTheScreens(HWND, UINT, UINT_PTR, DWORD) {
    if (visits.size() == VisitCount) {
        HWND view = FindScreen(IDC_VIEW_SEMESTER_LIST);
        if (view != nullptr && !ControlText(view, IDC_VIEW_GPA).empty()) {
            resultsAfter = GetTickCount64() - lastViewOpened;
            PostMessageA(view, WM_COMMAND, IDC_EXIT_BUTTON, 0);
        }
        return;
    }
    // The screens take turns: the next visit is to the entry screen when the count is even.
    const bool entry = visits.size() % 2 == 0;
    HWND screen = FindScreen(entry ? IDC_ENTRY_SUBJECT : IDC_VIEW_SEMESTER_LIST);
    if (screen != nullptr) {
        const int alive = visits.empty() ? 0 : LiveObjects(visits.back().Fonts);
        visits.push_back({ScreenFonts(screen), ThreadWindows(), alive});
        if (visits.size() < VisitCount) {
            PostMessageA(screen, WM_COMMAND, entry ? IDC_ENTRY_VIEW_CGPA : IDC_VIEW_ADD_SUBJECT, 0);
        } else {
            lastViewOpened = GetTickCount64();
        }
    }
}

TEST(Endurance, ManyScreenChangesLeaveNoFontWindowOrTimerBehind) {
    TempFile file;
    file.Write(Record(1, "Algebra", 3, 0));
    lstrcpynA(ResultFilePath, file.Path.c_str(), ResultFilePathSize);
    IsNewFile = 0;
    const int windowsBefore = ThreadWindows();
    visits.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, DriveTheScreens);
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    KillTimer(nullptr, timer);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    ASSERT_EQ(visits.size(), VisitCount);
    EXPECT_EQ(visits[0].Fonts.size(), 6U);
    EXPECT_EQ(visits[1].Fonts.size(), static_cast<std::size_t>(ResultsViewFontCount));
    for (size_t i = 2; i < visits.size(); ++i) {
        ASSERT_EQ(visits[i].PreviousFontsAlive, 0) << "visit " << i;
        ASSERT_EQ(visits[i].Windows, visits[i - 2].Windows) << "visit " << i;
    }
    EXPECT_GE(resultsAfter, 30U * 150U - 300U) << "the opening ran faster than one timer";
    PumpMessages();
    EXPECT_EQ(LiveObjects(visits.back().Fonts), 0);
    EXPECT_EQ(ThreadWindows(), windowsBefore);
}

} // namespace
