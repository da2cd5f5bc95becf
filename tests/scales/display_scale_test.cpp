// Every screen at 100, 125, 150 and 200 % display scale. A program reads the display's
// resolution once, when it starts, so the test sets the prefix's LogPixels and runs this program
// again for the checks at each resolution (AtOneResolution, skipped in the first run).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "app_state.h"
#include "resource.h"
#include "screen_harness.h"
#include "screen_pictures.h"
#include "tab_strip.h"

namespace {

// The place that each picture's template gives it, in dialog units; a tab's pictures come in
// eight consecutive ids.
struct Place {
    int Dialog;
    int FirstControl;
    int Count;
    int Width;
    int Height;
};
constexpr Place Places[] = {
    {IDD_SPLASH, IDC_SPLASH_PICTURE, 1, 267, 172},
    {IDD_ABOUT, IDC_ABOUT_PICTURE, 1, 267, 172},
    {IDD_FILE_SELECT, IDC_FILE_NEW_PICTURE, 1, 27, 25},
    {IDD_FILE_SELECT, IDC_FILE_EXISTING_PICTURE, 1, 25, 23},
    {IDD_FILE_SELECT, IDC_FILE_TWIN_PICTURE, 1, 67, 185},
    {IDD_FILE_SELECT, IDC_FILE_GRADUATE_PICTURE, 1, 51, 62},
    {IDD_SUBJECT_ENTRY, IDC_ENTRY_DIPLOMA, 1, 67, 62},
    {IDD_RESULTS_VIEW, IDC_VIEW_GOOD, 1, 120, 125},
    {IDD_RESULTS_VIEW, IDC_VIEW_BAD, 1, 120, 125},
    {IDD_RESULTS_VIEW, IDC_VIEW_NORMAL, 1, 120, 124},
    {IDD_RESULTS_VIEW, SelectedPicture(1), TAB_COUNT, 18, 21},
    {IDD_RESULTS_VIEW, UnselectedPicture(1), TAB_COUNT, 20, 25},
    {IDD_RESULTS_VIEW, HoverPicture(1), TAB_COUNT, 23, 22},
};
constexpr int Screens[] = {IDD_SPLASH, IDD_ABOUT, IDD_FILE_SELECT, IDD_SUBJECT_ENTRY,
                           IDD_RESULTS_VIEW};

// The resolutions and the set each shows. Wine's own bitmap "MS Sans Serif" stops growing at
// 20 pixels, so at 192 dots per inch the dialog units are those of 144 and so is the set.
struct Resolution {
    int LogPixels;
    const char* Set;
};
constexpr Resolution Resolutions[] = {{96, ""}, {120, "_125"}, {144, "_150"}, {192, "_150"}};

constexpr char LogPixelsVariable[] = "GRADEWICK_TEST_LOGPIXELS";
constexpr DWORD RunMilliseconds = 120000;

struct Pixels {
    SIZE Size{};
    std::vector<DWORD> Colours;
};

Pixels PixelsOf(HBITMAP bitmap) {
    Pixels pixels;
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) {
        return pixels;
    }
    pixels.Size = {info.bmWidth, info.bmHeight};
    pixels.Colours.resize(static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    format.bmiHeader.biWidth = info.bmWidth;
    format.bmiHeader.biHeight = -info.bmHeight; // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.Colours.data(), &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

HBITMAP ShownBitmap(HWND picture) {
    return reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// The committed bitmap of a picture in one set, as the resource compiler took it.
Pixels SetBitmap(HWND picture, const char* set) {
    const std::string name = ControlText(GetParent(picture), GetDlgCtrlID(picture)) + set;
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageA(InstanceHandle, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    Pixels pixels = PixelsOf(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// Within 4 % and 2 pixels of the place, in both directions.
void ExpectFills(SIZE size, double width, double height, const std::string& what) {
    EXPECT_LE(std::abs(size.cx - width), std::min(2.0, 0.04 * width)) << what << " width";
    EXPECT_LE(std::abs(size.cy - height), std::min(2.0, 0.04 * height)) << what << " height";
}

const Resolution* ResolutionOfThisRun() {
    const char* value = std::getenv(LogPixelsVariable);
    for (const Resolution& resolution : Resolutions) {
        if (value != nullptr && std::atoi(value) == resolution.LogPixels) {
            return &resolution;
        }
    }
    return nullptr;
}

void SetLogPixels(int logPixels) {
    const DWORD value = static_cast<DWORD>(logPixels);
    const std::pair<HKEY, const char*> keys[] = {
        {HKEY_CURRENT_USER, "Control Panel\\Desktop"},
        {HKEY_LOCAL_MACHINE,
         "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"},
    };
    for (const auto& [root, path] : keys) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
                  ERROR_SUCCESS)
            << path;
        EXPECT_EQ(RegSetValueExA(key, "LogPixels", 0, REG_DWORD,
                                 reinterpret_cast<const BYTE*>(&value), sizeof value),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
}

// This program's AtOneResolution checks in a process of their own; its exit code.
DWORD RunAtResolution(int logPixels) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_filter=AtOneResolution.*";
    SetEnvironmentVariableA(LogPixelsVariable, std::to_string(logPixels).c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    DWORD code = STILL_ACTIVE;
    if (CreateProcessA(self, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process) != FALSE) {
        WaitForSingleObject(process.hProcess, RunMilliseconds);
        GetExitCodeProcess(process.hProcess, &code);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    SetEnvironmentVariableA(LogPixelsVariable, nullptr);
    return code;
}

TEST(DisplayScales, EveryScreenPassesItsChecksAtEveryResolution) {
    for (const Resolution& resolution : Resolutions) {
        SetLogPixels(resolution.LogPixels);
        EXPECT_EQ(RunAtResolution(resolution.LogPixels), 0u)
            << "at " << resolution.LogPixels << " dots per inch";
    }
}

class AtOneResolution : public testing::Test {
  protected:
    void SetUp() override {
        resolution_ = ResolutionOfThisRun();
        if (resolution_ == nullptr) {
            GTEST_SKIP() << "run by DisplayScales at each resolution";
        }
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), resolution_->LogPixels);
        ReleaseDC(nullptr, screen);
    }
    const Resolution* resolution_ = nullptr;
};

// Each picture shows its bitmap of the set of this scale, filling its place; the bitmaps of
// that set are deleted when the screen closes.
TEST_F(AtOneResolution, EveryPictureFillsItsPlaceWithTheBitmapOfItsSet) {
    for (int dialog : Screens) {
        HWND screen = CreateScreen(dialog);
        ASSERT_NE(screen, nullptr) << dialog;
        RECT unit{0, 0, 4, 8};
        MapDialogRect(screen, &unit);
        std::vector<HBITMAP> shown;
        for (const Place& place : Places) {
            for (int i = 0; place.Dialog == dialog && i < place.Count; ++i) {
                HWND picture = GetDlgItem(screen, place.FirstControl + i);
                const std::string what = ControlText(screen, place.FirstControl + i) + " at " +
                                         std::to_string(resolution_->LogPixels);
                const Pixels pixels = PixelsOf(ShownBitmap(picture));
                ExpectFills(pixels.Size, place.Width * unit.right / 4.0,
                            place.Height * unit.bottom / 8.0, what);
                EXPECT_TRUE(pixels.Colours == SetBitmap(picture, resolution_->Set).Colours)
                    << what << " does not show its bitmap of set '" << resolution_->Set << "'";
                shown.push_back(ShownBitmap(picture));
            }
        }
        DestroyWindow(screen);
        PumpMessages();
        for (HBITMAP bitmap : shown) {
            if (*resolution_->Set != '\0') {
                EXPECT_EQ(GetObjectType(bitmap), 0u)
                    << "a picture of screen " << dialog << " kept its bitmap after closing";
            }
        }
    }
    TakeQuitMessage();
}

TEST_F(AtOneResolution, APressAtTheCentreOfAnyTabPictureChoosesThatTab) {
    HWND view = CreateScreen(IDD_RESULTS_VIEW);
    for (int tab = 1; tab <= TAB_COUNT; ++tab) {
        for (int id : {SelectedPicture(tab), UnselectedPicture(tab), HoverPicture(tab)}) {
            CurrentSemester = tab % TAB_COUNT;
            RECT r{};
            GetWindowRect(GetDlgItem(view, id), &r);
            MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&r), 2);
            SendMessageA(view, WM_LBUTTONDOWN, 0,
                         MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2));
            EXPECT_EQ(CurrentSemester, tab - 1)
                << ControlText(view, id) << " at " << resolution_->LogPixels;
        }
    }
    DestroyWindow(view);
}

// Other displays and fonts give dialog units between and beyond the sets: the set drawn for at
// least those units, scaled down smoothly to the picture's size there, and never scaled up.
struct OtherScale {
    DialogScale Scale;
    const char* Set;
};
constexpr OtherScale OtherScales[] = {
    {{6, 12}, ""},      {{7, 15}, "_125"},  {{9, 17}, "_150"},
    {{10, 21}, "_200"}, {{12, 26}, "_200"}, {{19, 40}, "_200"},
};

TEST(PictureSets, OtherScalesTakeTheNextLargerSetScaledDownSmoothlyNeverUp) {
    HWND files = CreateScreen(IDD_FILE_SELECT);
    HWND graduate = GetDlgItem(files, IDC_FILE_GRADUATE_PICTURE);
    const SIZE nominal = SetBitmap(graduate, "").Size;
    for (const OtherScale& other : OtherScales) {
        const std::string what =
            std::to_string(other.Scale.BaseX) + " x " + std::to_string(other.Scale.BaseY);
        EXPECT_STREQ(PictureSetFor(other.Scale).Suffix, other.Set) << what;
        FitScreenPictures(files, other.Scale);
        const Pixels set = SetBitmap(graduate, other.Set);
        const Pixels shown = PixelsOf(ShownBitmap(graduate));
        EXPECT_EQ(
            shown.Size.cx,
            std::min<LONG>(MulDiv(nominal.cx, other.Scale.BaseX, NominalScale.BaseX), set.Size.cx))
            << what;
        EXPECT_EQ(
            shown.Size.cy,
            std::min<LONG>(MulDiv(nominal.cy, other.Scale.BaseY, NominalScale.BaseY), set.Size.cy))
            << what;
        if (shown.Size.cx == set.Size.cx && shown.Size.cy == set.Size.cy) {
            EXPECT_TRUE(shown.Colours == set.Colours) << what;
        } else {
            // Averaged neighbours make colours that the set's bitmap does not have.
            const auto own = [&](DWORD c) {
                return std::find(set.Colours.begin(), set.Colours.end(), c) != set.Colours.end();
            };
            EXPECT_FALSE(std::all_of(shown.Colours.begin(), shown.Colours.end(), own)) << what;
        }
    }
    DestroyWindow(files);
}

} // namespace
