// Whole-program endurance: a thousand changes (500 round trips) between the subject entry screen
// and the results view, driven from outside, must leave the program's windows and fonts where they
// were. The windows are counted from outside (EnumThreadWindows, EnumChildWindows); the fonts are
// counted inside a counting build of the program, which its hidden main window reports on request.
// Wine's GetGuiResources always answers 0, so it is not used.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "driver.h"

namespace {

using e2e::Program;

constexpr int Changes = 1000; // 500 round trips
constexpr int ReportedChange = 500;
constexpr int CheckEvery = 100;
constexpr DWORD StartTimeout = 20000;
constexpr DWORD ChangeTimeout = 10000;
constexpr char EnduranceMessageName[] = "Gradewick.EnduranceCounters";
constexpr char MainWindowClass[] = "nama klas";
constexpr int ResultsViewFonts = 30;
constexpr int ResultsViewControls = 64;

enum Question : WPARAM {
    LabelFontsAlive = 0,
    AllFontsAlive = 1,
    FontsMade = 2,
    LeakOneFont = 10,
    LeakOneWindow = 11,
};

struct Counts {
    int Windows = -1;
    long LabelFonts = -1;
    long Fonts = -1;
    bool operator==(const Counts&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << "{windows " << c.Windows << ", label fonts " << c.LabelFonts << ", fonts "
               << c.Fonts << "}";
}

BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Every window of the program's thread: its top-level windows and all their descendants.
int CountThreadWindows(DWORD threadId) {
    std::vector<HWND> topLevel;
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&topLevel));
    int count = 0;
    for (HWND window : topLevel) {
        std::vector<HWND> descendants;
        EnumChildWindows(window, CollectWindow, reinterpret_cast<LPARAM>(&descendants));
        count += 1 + static_cast<int>(descendants.size());
    }
    return count;
}

HWND FindMainWindow(DWORD threadId) {
    std::vector<HWND> topLevel;
    EnumThreadWindows(threadId, CollectWindow, reinterpret_cast<LPARAM>(&topLevel));
    const auto found = std::find_if(topLevel.begin(), topLevel.end(), [](HWND window) {
        return e2e::ClassName(window) == MainWindowClass;
    });
    return found != topLevel.end() ? *found : nullptr;
}

class Counters {
  public:
    Counters(const Program& program, HWND mainWindow)
        : program_(program), mainWindow_(mainWindow),
          message_(RegisterWindowMessageA(EnduranceMessageName)) {}

    long Ask(WPARAM question) const {
        DWORD_PTR answer = 0;
        if (SendMessageTimeoutA(mainWindow_, message_, question, 0, SMTO_ABORTIFHUNG,
                                e2e::SendTimeoutMilliseconds, &answer) == 0) {
            ADD_FAILURE() << "the program did not answer question " << question;
            return -1;
        }
        return static_cast<long>(static_cast<LONG_PTR>(answer));
    }

    Counts Measure() const {
        return {CountThreadWindows(program_.ThreadId()), Ask(LabelFontsAlive), Ask(AllFontsAlive)};
    }

  private:
    const Program& program_;
    HWND mainWindow_;
    UINT message_;
};

HWND OpenResultsView(Program& program, const std::string& path) {
    return e2e::ChooseExistingFile(program, e2e::StartAtFileSelection(program, StartTimeout), path);
}

// One change of screen: clicks the button of the screen shown and waits until the other
// screen has replaced it. Returns the new screen, or nullptr.
HWND ChangeScreen(const Program& program, HWND from, bool fromView) {
    const int button = fromView ? IDC_VIEW_ADD_SUBJECT : IDC_ENTRY_VIEW_CGPA;
    const int goneId = fromView ? IDC_VIEW_SEMESTER_LIST : IDC_ENTRY_SUBJECT;
    const int nextId = fromView ? IDC_ENTRY_SUBJECT : IDC_VIEW_SEMESTER_LIST;
    e2e::Click(from, button);
    HWND next = nullptr;
    e2e::WaitUntil(
        [&] {
            next = program.FindScreen(nextId);
            return next != nullptr && next != from && program.FindScreen(goneId) == nullptr;
        },
        ChangeTimeout);
    return next != nullptr && next != from ? next : nullptr;
}

TEST(Endurance, FiveHundredRoundTripsLeaveWindowsAndFontsWhereTheyWere) {
    const std::string path = e2e::TemporaryPath(".rst");
    e2e::WriteFileBytes(path, e2e::StoredRecord(1, "Algebra", 3, 0) +
                                  e2e::StoredRecord(2, "Optics", 1, 2));
    Program program;
    HWND screen = OpenResultsView(program, path);
    ASSERT_NE(screen, nullptr) << "no results view";
    HWND mainWindow = FindMainWindow(program.ThreadId());
    ASSERT_NE(mainWindow, nullptr) << "no hidden main window on the program's thread";
    const Counters counters(program, mainWindow);

    // The counters see the open view: its 30 fonts and its 64 controls.
    const Counts opened = counters.Measure();
    EXPECT_GE(opened.LabelFonts, ResultsViewFonts) << opened;
    EXPECT_GE(opened.Fonts, ResultsViewFonts) << opened;
    EXPECT_GE(opened.Windows, 1 + ResultsViewControls) << opened;

    Counts afterChange[2]; // [0]: on the subject entry screen, [1]: on the results view
    std::uint64_t firstChange = 0;
    std::uint64_t reportedChange = 0;
    std::uint64_t lastChange = 0;
    bool onView = true;
    for (int change = 1; change <= Changes; ++change) {
        const std::uint64_t start = e2e::NowMilliseconds();
        screen = ChangeScreen(program, screen, onView);
        const std::uint64_t took = e2e::NowMilliseconds() - start;
        ASSERT_NE(screen, nullptr) << "change " << change << " did not happen";
        onView = !onView;
        if (change == 1) {
            firstChange = took;
        }
        if (change == ReportedChange) {
            reportedChange = took;
        }
        if (change == Changes) {
            lastChange = took;
        }
        const int side = onView ? 1 : 0;
        if (change <= 2) {
            afterChange[side] = counters.Measure();
        } else if (change % CheckEvery <= 1 || change >= Changes - 1) {
            // A leak grows with every change and slows the program: stop at the first one.
            ASSERT_EQ(counters.Measure(), afterChange[side])
                << "after change " << change << " on the " << (onView ? "view" : "entry screen");
        }
    }
    std::printf("change 1 took %llu ms, change %d %llu ms, change %d %llu ms\n",
                static_cast<unsigned long long>(firstChange), ReportedChange,
                static_cast<unsigned long long>(reportedChange), Changes,
                static_cast<unsigned long long>(lastChange));
    std::printf("on the entry screen %d windows, %ld label fonts, %ld fonts; on the view %d "
                "windows, %ld label fonts, %ld fonts\n",
                afterChange[0].Windows, afterChange[0].LabelFonts, afterChange[0].Fonts,
                afterChange[1].Windows, afterChange[1].LabelFonts, afterChange[1].Fonts);
    EXPECT_EQ(afterChange[1].LabelFonts, opened.LabelFonts)
        << "a view opened from the entry screen holds what the first view held";
    EXPECT_GE(counters.Ask(FontsMade), static_cast<long>(Changes / 2 * ResultsViewFonts))
        << "the counting wrappers missed the fonts the views made";

    // Each count can fail: a leaked font and a leaked window show up in them.
    const Counts before = counters.Measure();
    EXPECT_EQ(counters.Ask(LeakOneFont), 1);
    EXPECT_EQ(counters.Ask(LeakOneWindow), 1);
    const Counts leaked = counters.Measure();
    EXPECT_EQ(leaked.LabelFonts, before.LabelFonts + 1);
    EXPECT_EQ(leaked.Fonts, before.Fonts + 1);
    EXPECT_EQ(leaked.Windows, before.Windows + 1);

    e2e::Click(screen, IDC_EXIT_BUTTON);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

} // namespace
