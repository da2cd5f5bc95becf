// Changing screens, start-up and the ways out, in process: the screen loop with a recording
// runner, then the real screens through the real RunScreens.
#include <algorithm>

#include <tuple>

#include "harness.h"
#include "results_view.h"
#include "shell.h"

namespace {

struct Run {
    int DialogId;
    HWND Owner;
    HWND MainWindowThen;
    int Depth;
};
std::vector<Run> runs;
int depth = 0;
INT_PTR (*script)(int call, int dialogId) = nullptr;

INT_PTR RecordingRunner(int dialogId, HWND owner) {
    ++depth;
    runs.push_back({dialogId, owner, MainWindow, depth});
    const INT_PTR result = script(static_cast<int>(runs.size()), dialogId);
    --depth;
    return result;
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
        if (MainWindow != nullptr) {
            DestroyWindow(MainWindow);
            UnregisterClassA(MainWindowClassName, InstanceHandle);
        }
        MainWindow = nullptr;
        TakePendingScreen();
        TakeQuitCode();
    }
    ScreenRunner previous_ = nullptr;
};

TEST_F(FlowTest, ManyChangesRunOneScreenAtATimeOwnedByTheMainWindow) {
    script = [](int call, int id) -> INT_PTR {
        if (call > 1000) {
            PostQuitMessage(0);
            return 0;
        }
        ChangeScreen(nullptr, id == IDD_SUBJECT_ENTRY ? IDD_RESULTS_VIEW : IDD_SUBJECT_ENTRY);
        return 1;
    };
    MainWindow = GetDesktopWindow(); // any window stands for the main window here
    RunScreens(IDD_FILE_SELECT, nullptr);
    MainWindow = nullptr;
    ASSERT_EQ(runs.size(), 1001U);
    EXPECT_EQ(runs[0].Owner, nullptr);
    for (size_t i = 1; i < runs.size(); ++i) {
        ASSERT_EQ(runs[i].DialogId, i % 2 == 1 ? IDD_SUBJECT_ENTRY : IDD_RESULTS_VIEW) << i;
        ASSERT_EQ(runs[i].Owner, GetDesktopWindow()) << i;
        ASSERT_EQ(runs[i].Depth, 1) << "screens nest at run " << i;
    }
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
}

TEST_F(FlowTest, AChangeDuringANestedLoopOpensTheNextScreenAtOnce) {
    script = [](int call, int) -> INT_PTR {
        if (call == 1) {
            NestedLoopScope nested; // a message box or a file dialog of this screen is open
            ChangeScreen(nullptr, IDD_RESULTS_VIEW);
            return 1;
        }
        PostQuitMessage(0);
        return 0;
    };
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    ASSERT_EQ(runs.size(), 2U);
    EXPECT_EQ(runs[1].DialogId, IDD_RESULTS_VIEW);
    EXPECT_EQ(runs[1].Depth, 2);

    // The About screen is such a loop: a change asked for behind it opens at once.
    runs.clear();
    TakeQuitCode();
    ModalAnswerer answerer;
    SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR timer, DWORD) {
        KillTimer(nullptr, timer);
        ChangeScreen(nullptr, IDD_RESULTS_VIEW);
    });
    script = [](int, int) -> INT_PTR { return 1; };
    OpenAboutScreen();
    EXPECT_EQ(ModalAnswerer::AboutScreens, 1);
    ASSERT_EQ(runs.size(), 1U);
    EXPECT_EQ(TakePendingScreen(), 0);
}

TEST_F(FlowTest, TheLoopEndsOnQuitOnAnEndWithoutChangeAndOnAScreenThatCannotOpen) {
    script = [](int, int) -> INT_PTR {
        ChangeScreen(nullptr, IDD_RESULTS_VIEW);
        PostQuitMessage(0);
        return 0;
    };
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    EXPECT_EQ(runs.size(), 1U) << "a change named just before the quit is dropped";
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));

    script = [](int, int) -> INT_PTR { return 1; };
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    EXPECT_EQ(runs.size(), 2U);
    EXPECT_FALSE(TakeQuitCode().has_value());

    SetScreenRunner(nullptr); // the real runner, with a dialog that has no template
    RunScreens(99, nullptr);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(1));
}

TEST_F(FlowTest, StartUpShowsTheSplashForThreeSecondsThenTheFileSelectionScreen) {
    script = [](int, int) -> INT_PTR {
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
    EXPECT_NE(SplashWindow, nullptr);
    EXPECT_FALSE(IsWindow(SplashWindow));
    ASSERT_NE(MainWindow, nullptr);
    EXPECT_FALSE(IsWindowVisible(MainWindow));
}

TEST(WaysOut, EveryWayOutOfAScreenReleasesItsFonts) {
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
                {IDD_SUBJECT_ENTRY, IDC_ENTRY_VIEW_CGPA, IDD_RESULTS_VIEW},
                {IDD_RESULTS_VIEW, IDC_EXIT_BUTTON, 0},
                {IDD_RESULTS_VIEW, IDCANCEL, 0},
                {IDD_RESULTS_VIEW, IDC_VIEW_ADD_SUBJECT, IDD_SUBJECT_ENTRY}};
    for (const auto& way : ways) {
        SCOPED_TRACE(testing::Message() << "screen " << way.Screen << " command " << way.Command);
        const long fonts = LiveLabelFonts();
        const int windows = ThreadWindows();
        HWND screen = CreateScreen(way.Screen);
        SendCommand(screen, way.Command);
        PumpMessages();
        EXPECT_EQ(LiveLabelFonts(), fonts);
        EXPECT_EQ(TakePendingScreen(), way.Next);
        EXPECT_EQ(TakeQuitCode(), way.Next == 0 ? std::optional<WPARAM>(0) : std::nullopt);
        DestroyWindow(screen);
        EXPECT_EQ(ThreadWindows(), windows);
    }
}

// The real screens, changed back and forth many times through the real loop: the fonts alive
// and the windows of the thread are the same at every visit of a screen.
struct Visit {
    int Screen;
    long Fonts;
    int Windows;
};
std::vector<Visit> visits;

VOID CALLBACK DriveTheScreens(HWND, UINT, UINT_PTR, DWORD) {
    for (const auto& [screen, control, next] :
         {std::tuple{IDD_SUBJECT_ENTRY, IDC_ENTRY_SUBJECT, IDC_ENTRY_VIEW_CGPA},
          std::tuple{IDD_RESULTS_VIEW, IDC_VIEW_SEMESTER_LIST, IDC_VIEW_ADD_SUBJECT}}) {
        HWND dialog = FindScreen(control);
        if (dialog == nullptr || (!visits.empty() && visits.back().Screen == screen)) {
            continue;
        }
        visits.push_back({screen, LiveLabelFonts(), ThreadWindows()});
        PostMessageA(dialog, WM_COMMAND, visits.size() < 100 ? next : IDC_EXIT_BUTTON, 0);
    }
}

TEST(Endurance, ManyScreenChangesLeaveNoFontOrWindowBehind) {
    TempFile file;
    file.Write(Record(1, "Algebra", 3, 0));
    lstrcpynA(ResultFilePath, file.Path.c_str(), ResultFilePathSize);
    IsNewFile = 0;
    const long fontsBefore = LiveLabelFonts();
    const int windowsBefore = ThreadWindows();
    visits.clear();
    const UINT_PTR timer = SetTimer(nullptr, 0, 10, DriveTheScreens);
    RunScreens(IDD_SUBJECT_ENTRY, nullptr);
    KillTimer(nullptr, timer);
    EXPECT_EQ(TakeQuitCode(), std::optional<WPARAM>(0));
    ASSERT_EQ(visits.size(), 100U);
    for (size_t i = 2; i < visits.size(); ++i) {
        ASSERT_EQ(visits[i].Fonts, visits[i - 2].Fonts) << "visit " << i;
        ASSERT_EQ(visits[i].Windows, visits[i - 2].Windows) << "visit " << i;
    }
    EXPECT_EQ(visits[0].Fonts - fontsBefore, 6);
    EXPECT_EQ(visits[1].Fonts - fontsBefore, ResultsViewFontCount);
    PumpMessages();
    EXPECT_EQ(LiveLabelFonts(), fontsBefore);
    EXPECT_EQ(ThreadWindows(), windowsBefore);
}

} // namespace
