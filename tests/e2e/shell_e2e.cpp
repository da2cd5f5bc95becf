// The real gradewick.exe driven from outside: start-up, the splash, the file selection screen
// and every way out of it.
#include <gtest/gtest.h>

#include "driver.h"

namespace {

using e2e::Program;

constexpr DWORD SplashTimeout = 15000; // Wine's first start in a fresh prefix is slow
constexpr std::uint64_t SplashEarliestEnd = 2800;
constexpr std::uint64_t SplashLatestEnd = 10000;

// Starts the program and waits for its splash screen.
HWND StartAtSplash(Program& program) {
    if (!program.Start()) {
        ADD_FAILURE() << "gradewick.exe could not be started from the current folder";
        return nullptr;
    }
    HWND splash = program.WaitForScreen(IDC_SPLASH_PICTURE, SplashTimeout);
    EXPECT_NE(splash, nullptr) << "no splash screen";
    return splash;
}

// Whether a working screen (file selection, subject entry, results view, About) is visible.
bool AnyWorkingScreen(const Program& program) {
    for (int id : {IDC_FILE_OK, IDC_ENTRY_SUBJECT, IDC_VIEW_SEMESTER_LIST, IDC_ABOUT_PICTURE}) {
        if (program.FindScreen(id) != nullptr) {
            return true;
        }
    }
    return false;
}

TEST(Splash, StaysAboutThreeSecondsThenTheFileSelectionScreenOpens) {
    Program program;
    HWND splash = StartAtSplash(program);
    ASSERT_NE(splash, nullptr);
    const std::uint64_t shown = e2e::NowMilliseconds();

    // The splash is the program's only visible window: no caption, no earlier working screen.
    EXPECT_EQ(e2e::WindowText(splash), "");
    EXPECT_NE(GetWindowLongA(splash, GWL_STYLE) & WS_CAPTION, WS_CAPTION); // no caption bar
    EXPECT_EQ(program.TopLevelWindows(true).size(), 1U);
    EXPECT_TRUE(e2e::ControlVisible(splash, IDC_SPLASH_PICTURE));

    // Until the file selection screen opens, no other screen appears and the splash stays.
    HWND files = nullptr;
    bool otherScreenEarly = false;
    e2e::WaitUntil(
        [&] {
            files = program.FindScreen(IDC_FILE_OK);
            if (files == nullptr && AnyWorkingScreen(program)) {
                otherScreenEarly = true;
            }
            return files != nullptr || otherScreenEarly;
        },
        SplashLatestEnd + 2000);
    const std::uint64_t elapsed = e2e::NowMilliseconds() - shown;
    EXPECT_FALSE(otherScreenEarly);
    ASSERT_NE(files, nullptr) << "no file selection screen";
    EXPECT_GE(elapsed, SplashEarliestEnd);
    EXPECT_LE(elapsed, SplashLatestEnd);

    EXPECT_TRUE(program.WaitForScreenGone(IDC_SPLASH_PICTURE, 2000));
    EXPECT_EQ(e2e::WindowText(files), "Gradewick");
    EXPECT_EQ(e2e::Owner(files), nullptr);
}

TEST(Splash, EscapeClosesItAtOnceAndTheFileSelectionScreenStillFollowsTheTimer) {
    Program program;
    HWND splash = StartAtSplash(program);
    ASSERT_NE(splash, nullptr);
    const std::uint64_t shown = e2e::NowMilliseconds();

    e2e::PressKey(splash, VK_ESCAPE);
    ASSERT_TRUE(program.WaitForScreenGone(IDC_SPLASH_PICTURE, 2000));
    const std::uint64_t gone = e2e::NowMilliseconds() - shown;
    EXPECT_LT(gone, SplashEarliestEnd) << "Escape should close the splash at once";

    // Nothing is on screen until the timer fires.
    bool somethingVisible = false;
    HWND files = nullptr;
    e2e::WaitUntil(
        [&] {
            files = program.FindScreen(IDC_FILE_OK);
            if (files == nullptr && !program.TopLevelWindows(true).empty()) {
                somethingVisible = true;
            }
            return files != nullptr || somethingVisible;
        },
        SplashLatestEnd + 2000);
    EXPECT_FALSE(somethingVisible);
    ASSERT_NE(files, nullptr);
    EXPECT_GE(e2e::NowMilliseconds() - shown, SplashEarliestEnd);
    // Even with the main window created by then, the file selection screen has no owner.
    EXPECT_EQ(e2e::Owner(files), nullptr);
}

TEST(Splash, EnterDoesNothing) {
    Program program;
    HWND splash = StartAtSplash(program);
    ASSERT_NE(splash, nullptr);
    const std::uint64_t shown = e2e::NowMilliseconds();

    e2e::PressKey(splash, VK_RETURN);
    e2e::PostCommand(splash, IDOK);
    Sleep(1000);
    if (e2e::NowMilliseconds() - shown < SplashEarliestEnd) {
        EXPECT_TRUE(e2e::WindowVisible(splash));
        EXPECT_EQ(program.FindScreen(IDC_FILE_OK), nullptr);
    }
    EXPECT_NE(program.WaitForScreen(IDC_FILE_OK, SplashLatestEnd), nullptr);
}

} // namespace
