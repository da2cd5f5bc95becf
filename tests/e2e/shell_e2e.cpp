// The real gradewick.exe driven from outside: start-up, the splash, the file selection screen
// and every way out of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

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

// Starts the program and waits for the file selection screen, having seen the splash.
HWND StartThroughSplash(Program& program) {
    if (StartAtSplash(program) == nullptr) {
        return nullptr;
    }
    HWND files = program.WaitForScreen(IDC_FILE_OK, SplashLatestEnd + 5000);
    EXPECT_NE(files, nullptr) << "no file selection screen";
    return files;
}

// A result file holding one record, as the program writes it.
std::string WriteResultFile(const std::string& suffix) {
    std::string path = e2e::TemporaryPath(suffix);
    e2e::WriteFileBytes(path, "Semester 1\r\nMaths\r\n3\r\n1\r\n");
    return path;
}

// Whether a working screen (file selection, subject entry, results view, About) is visible.
bool AnyWorkingScreen(const Program& program) {
    constexpr int Screens[] = {IDC_FILE_OK, IDC_ENTRY_SUBJECT, IDC_VIEW_SEMESTER_LIST,
                               IDC_ABOUT_PICTURE};
    return std::any_of(std::begin(Screens), std::end(Screens),
                       [&](int id) { return program.FindScreen(id) != nullptr; });
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

// --- File selection screen ------------------------------------------------------------------

// Each way out of the file selection screen ends the process with exit code 0.
enum class WayOut { CancelButton, EscapeKey, EscapeCommand, CloseBox };

class FileSelectionWayOut : public testing::TestWithParam<WayOut> {};

TEST_P(FileSelectionWayOut, EndsTheProcessWithExitCodeZero) {
    Program program;
    HWND files = StartThroughSplash(program);
    ASSERT_NE(files, nullptr);
    switch (GetParam()) {
    case WayOut::CancelButton: e2e::Click(files, IDC_FILE_CANCEL); break;
    case WayOut::EscapeKey: e2e::PressKey(files, VK_ESCAPE); break;
    case WayOut::EscapeCommand: e2e::PressEscapeCommand(files); break;
    case WayOut::CloseBox: e2e::PressCloseBox(files); break;
    }
    const std::optional<DWORD> code = program.WaitForExit();
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0U);
}

INSTANTIATE_TEST_SUITE_P(Shell, FileSelectionWayOut,
                         testing::Values(WayOut::CancelButton, WayOut::EscapeKey,
                                         WayOut::EscapeCommand, WayOut::CloseBox),
                         [](const testing::TestParamInfo<WayOut>& info) {
                             switch (info.param) {
                             case WayOut::CancelButton: return std::string("CancelButton");
                             case WayOut::EscapeKey: return std::string("EscapeKey");
                             case WayOut::EscapeCommand: return std::string("EscapeCommand");
                             case WayOut::CloseBox: return std::string("CloseBox");
                             }
                             return std::string("Unknown");
                         });

TEST(FileSelection, ANameWithoutDotRstIsRefusedWithInputErrorAndTheScreenStays) {
    const std::string refused = WriteResultFile(".txt");
    Program program;
    HWND files = StartThroughSplash(program);
    ASSERT_NE(files, nullptr);
    e2e::ClickButton(files, IDC_FILE_EXISTING);
    e2e::Click(files, IDC_FILE_OK);

    HWND dialog = program.WaitForFileDialog();
    ASSERT_NE(dialog, nullptr) << "no Open dialog";
    EXPECT_EQ(e2e::Owner(dialog), nullptr);
    ASSERT_TRUE(e2e::AnswerFileDialog(dialog, refused));

    const auto box = program.WaitForMessageBox(e2e::DefaultTimeoutMilliseconds, "Input Error");
    ASSERT_TRUE(box.has_value()) << "no Input Error message";
    EXPECT_EQ(box->text, "The Filename you have entered is an invalid .rst file");
    // The message has no owner: the screen beneath stays enabled.
    EXPECT_EQ(e2e::Owner(box->window), nullptr);
    EXPECT_TRUE(e2e::WindowEnabled(files));
    e2e::PressMessageBoxButton(box->window);

    // Back on the file selection screen, with the choice as it was.
    EXPECT_TRUE(e2e::WaitUntil([&] { return !e2e::WindowVisible(box->window); }));
    EXPECT_EQ(program.FindScreen(IDC_FILE_OK), files);
    EXPECT_EQ(e2e::ButtonCheck(files, IDC_FILE_EXISTING), BST_CHECKED);
    EXPECT_EQ(program.FindScreen(IDC_VIEW_SEMESTER_LIST), nullptr);
    e2e::Click(files, IDC_FILE_CANCEL);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(refused.c_str());
}

TEST(FileSelection, CancellingEitherFileDialogLeavesTheScreenAsItWas) {
    Program program;
    HWND files = StartThroughSplash(program);
    ASSERT_NE(files, nullptr);
    for (int choice : {IDC_FILE_NEW, IDC_FILE_EXISTING}) {
        e2e::ClickButton(files, choice);
        e2e::Click(files, IDC_FILE_OK);
        HWND dialog = program.WaitForFileDialog();
        ASSERT_NE(dialog, nullptr);
        e2e::CancelFileDialog(dialog);
        ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(dialog); }));
        // Nothing is shown: no message box, no other screen.
        EXPECT_FALSE(program.WaitForMessageBox(1000).has_value());
        EXPECT_EQ(program.FindScreen(IDC_FILE_OK), files);
        EXPECT_EQ(e2e::ButtonCheck(files, choice), BST_CHECKED);
        EXPECT_EQ(program.TopLevelWindows(true).size(), 1U);
    }
}

TEST(FileSelection, NewFileThroughSaveAsReachesTheSubjectEntryScreen) {
    const std::string name = e2e::TemporaryPath("");
    Program program;
    HWND files = StartThroughSplash(program);
    ASSERT_NE(files, nullptr);
    e2e::Click(files, IDC_FILE_OK);
    HWND dialog = program.WaitForFileDialog();
    ASSERT_NE(dialog, nullptr) << "no Save As dialog";
    // A name that does not exist yet is accepted.
    ASSERT_TRUE(e2e::AnswerFileDialog(dialog, name));

    HWND entry = program.WaitForScreen(IDC_ENTRY_SUBJECT);
    ASSERT_NE(entry, nullptr) << "no subject entry screen";
    EXPECT_EQ(e2e::WindowText(entry), "Gradewick");
    EXPECT_TRUE(program.WaitForScreenGone(IDC_FILE_OK, 2000));
    EXPECT_FALSE(program.WaitForMessageBox(500).has_value());
    // Nothing is written on the file selection screen.
    EXPECT_FALSE(e2e::FileExists(name + ".rst"));
    EXPECT_FALSE(e2e::FileExists(name));

    e2e::PressCloseBox(entry);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

TEST(FileSelection, ExistingFileThroughOpenReachesTheResultsView) {
    // ".rst" inside a folder name is enough.
    const std::string folder = e2e::TemporaryPath(".rst-folder");
    ASSERT_NE(CreateDirectoryA(folder.c_str(), nullptr), 0);
    const std::string path = folder + "\\marks.txt";
    e2e::WriteFileBytes(path, "Semester 1\r\nMaths\r\n3\r\n1\r\n");
    Program program;
    HWND files = StartThroughSplash(program);
    ASSERT_NE(files, nullptr);
    e2e::ClickButton(files, IDC_FILE_EXISTING);
    e2e::Click(files, IDC_FILE_OK);
    HWND dialog = program.WaitForFileDialog();
    ASSERT_NE(dialog, nullptr) << "no Open dialog";
    ASSERT_TRUE(e2e::AnswerFileDialog(dialog, path));

    HWND view = program.WaitForScreen(IDC_VIEW_SEMESTER_LIST);
    ASSERT_NE(view, nullptr) << "no results view";
    EXPECT_EQ(e2e::WindowText(view), "Gradewick");
    EXPECT_TRUE(program.WaitForScreenGone(IDC_FILE_OK, 2000));
    EXPECT_EQ(e2e::ReadFileBytes(path), "Semester 1\r\nMaths\r\n3\r\n1\r\n");

    e2e::PressCloseBox(view);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
    RemoveDirectoryA(folder.c_str());
}

// --- The program as a whole ------------------------------------------------------------------

// Names of the DLLs an image imports, read from its import directory.
std::vector<std::string> ImportedDlls(HMODULE image) {
    std::vector<std::string> names;
    const auto* base = reinterpret_cast<const BYTE*>(image);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (directory.VirtualAddress == 0) {
        return names;
    }
    for (const auto* entry =
             reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         entry->Name != 0; ++entry) {
        names.emplace_back(reinterpret_cast<const char*>(base + entry->Name));
    }
    return names;
}

TEST(Program, ExportsTheFiveScreenProceduresAndImportsOnlyWindowsOwnDlls) {
    HMODULE image =
        LoadLibraryExA(Program::DefaultExecutable().c_str(), nullptr, DONT_RESOLVE_DLL_REFERENCES);
    ASSERT_NE(image, nullptr);
    for (const char* name :
         {"DialogFunc1", "DialogFunc2", "DialogFunc3", "DialogFunc4", "DialogAbout"}) {
        EXPECT_NE(GetProcAddress(image, name), nullptr) << name;
    }
    const std::vector<std::string> imports = ImportedDlls(image);
    EXPECT_FALSE(imports.empty());
    for (const std::string& dll : imports) {
        bool windows = false;
        for (const char* own : {"kernel32.dll", "user32.dll", "gdi32.dll", "comdlg32.dll",
                                "msvcrt.dll", "advapi32.dll", "shell32.dll", "comctl32.dll"}) {
            windows = windows || lstrcmpiA(dll.c_str(), own) == 0;
        }
        EXPECT_TRUE(windows) << dll << " is not one of Windows' own DLLs";
    }
    FreeLibrary(image);
}

TEST(Program, TheMainWindowIsNeverShownWhateverTheShowCommand) {
    Program program;
    ASSERT_TRUE(program.Start(Program::DefaultExecutable(), SW_SHOWMAXIMIZED));
    bool mainWindowSeen = false;
    bool mainWindowVisible = false;
    HWND files = nullptr;
    e2e::WaitUntil(
        [&] {
            for (HWND window : program.TopLevelWindows()) {
                if (e2e::ClassName(window) == "nama klas") {
                    mainWindowSeen = true;
                    mainWindowVisible = mainWindowVisible || e2e::WindowVisible(window);
                }
            }
            files = program.FindScreen(IDC_FILE_OK);
            return files != nullptr;
        },
        SplashTimeout + SplashLatestEnd);
    ASSERT_NE(files, nullptr);
    EXPECT_TRUE(mainWindowSeen) << "no window of class \"nama klas\"";
    EXPECT_FALSE(mainWindowVisible);
    e2e::Click(files, IDC_FILE_CANCEL);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
}

// Opens the results view through "Existing file".
HWND StartAtResultsView(Program& program, const std::string& path) {
    return e2e::ChooseExistingFile(program, StartThroughSplash(program), path);
}

// The screen with controlId, once the one before it (previous) is gone.
HWND NextScreen(const Program& program, HWND previous, int controlId) {
    if (!e2e::WaitUntil([&] { return !IsWindow(previous); })) {
        ADD_FAILURE() << "the screen left is still there";
        return nullptr;
    }
    return program.WaitForScreen(controlId);
}

TEST(ScreenFlow, ChangingScreensManyTimesKeepsOneScreenAlive) {
    const std::string path = WriteResultFile(".rst");
    Program program;
    HWND view = StartAtResultsView(program, path);
    ASSERT_NE(view, nullptr);

    int windowsAfterFirstTrip = 0;
    constexpr int Trips = 25;
    for (int trip = 1; trip <= Trips; ++trip) {
        e2e::Click(view, IDC_VIEW_ADD_SUBJECT);
        HWND entry = NextScreen(program, view, IDC_ENTRY_SUBJECT);
        ASSERT_NE(entry, nullptr) << "trip " << trip;
        e2e::Click(entry, IDC_ENTRY_VIEW_CGPA);
        view = NextScreen(program, entry, IDC_VIEW_SEMESTER_LIST);
        ASSERT_NE(view, nullptr) << "trip " << trip;
        // The screen left is destroyed, not kept hidden: one visible dialog, and besides it
        // only the ended splash, whose timer callback runs the screens.
        EXPECT_EQ(program.CountTopLevelWindows("#32770", true), 1) << "trip " << trip;
        EXPECT_LE(program.CountTopLevelWindows("#32770"), 2) << "trip " << trip;
        if (trip == 1) {
            windowsAfterFirstTrip = program.CountAllWindows();
        }
    }
    EXPECT_LE(program.CountAllWindows(), windowsAfterFirstTrip + 2);
    // The file is only read on the way.
    EXPECT_EQ(e2e::ReadFileBytes(path), "Semester 1\r\nMaths\r\n3\r\n1\r\n");

    e2e::Click(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

TEST(ScreenFlow, AboutOpensOverEitherScreenLeavesItEnabledAndClosesThreeWays) {
    const std::string path = WriteResultFile(".rst");
    Program program;
    HWND view = StartAtResultsView(program, path);
    ASSERT_NE(view, nullptr);
    e2e::Click(view, IDC_VIEW_ADD_SUBJECT);
    HWND entry = NextScreen(program, view, IDC_ENTRY_SUBJECT);
    ASSERT_NE(entry, nullptr);

    int way = 0;
    for (HWND* screen : {&entry, &view}) {
        for (int close = 0; close < 3; ++close, ++way) {
            e2e::Click(*screen, IDC_ABOUT_BUTTON);
            HWND about = program.WaitForScreen(IDC_ABOUT_PICTURE);
            ASSERT_NE(about, nullptr) << "way " << way;
            EXPECT_EQ(e2e::Owner(about), nullptr);
            EXPECT_EQ(e2e::WindowText(about), "");
            EXPECT_TRUE(e2e::WindowEnabled(*screen)) << "the screen beneath stays enabled";
            switch (close) {
            case 0: e2e::Click(about, IDOK); break;
            case 1: e2e::PressKey(about, VK_RETURN); break;
            default: e2e::PressKey(about, VK_ESCAPE); break;
            }
            ASSERT_TRUE(e2e::WaitUntil([&] { return !IsWindow(about); })) << "way " << way;
            EXPECT_TRUE(e2e::WindowVisible(*screen));
            EXPECT_TRUE(program.Running());
        }
        if (screen == &entry) {
            e2e::Click(entry, IDC_ENTRY_VIEW_CGPA);
            view = NextScreen(program, entry, IDC_VIEW_SEMESTER_LIST);
            ASSERT_NE(view, nullptr);
        }
    }
    e2e::PressCloseBox(view);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

TEST(ScreenFlow, ExitWhileAboutIsOpenStillEndsWithExitCodeZero) {
    const std::string path = WriteResultFile(".rst");
    Program program;
    HWND view = StartAtResultsView(program, path);
    ASSERT_NE(view, nullptr);
    e2e::Click(view, IDC_ABOUT_BUTTON);
    ASSERT_NE(program.WaitForScreen(IDC_ABOUT_PICTURE), nullptr);
    e2e::Click(view, IDC_EXIT_BUTTON);
    EXPECT_EQ(program.WaitForExit(), std::optional<DWORD>(0));
    DeleteFileA(path.c_str());
}

} // namespace
