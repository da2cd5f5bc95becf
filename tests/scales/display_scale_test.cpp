// Every screen at 100, 125, 150 and 200 % display scale. A program reads the display's
// resolution when it starts, so the first run sets the prefix's LogPixels to each resolution in
// turn and runs this program again for the AtOneResolution checks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "harness.h"
#include "screen_pictures.h"
#include "tab_strip.h"

namespace {

// The place that each picture's template gives it, in dialog units; each tab look is eight
// pictures with consecutive ids.
struct Place {
    int Dialog, FirstControl, Count, Width, Height;
};
constexpr Place Places[] = {{IDD_SPLASH, IDC_SPLASH_PICTURE, 1, 267, 172},
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
                            {IDD_RESULTS_VIEW, HoverPicture(1), TAB_COUNT, 23, 22}};

// Wine's own bitmap "MS Sans Serif" stops growing at 20 pixels, so 192 dots per inch gives the
// dialog units of 144 and shows the same set. LogPixels and set:
using Resolution = std::pair<int, const char*>;
constexpr Resolution Resolutions[] = {{96, ""}, {120, "_125"}, {144, "_150"}, {192, "_150"}};
constexpr char LogPixelsVariable[] = "GRADEWICK_TEST_LOGPIXELS";

HBITMAP Shown(HWND picture) {
    return reinterpret_cast<HBITMAP>(SendMessageA(picture, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// Width, height, then every pixel from the top row down.
std::vector<DWORD> PixelsOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    std::vector<DWORD> pixels{static_cast<DWORD>(info.bmWidth), static_cast<DWORD>(info.bmHeight)};
    pixels.resize(2 + static_cast<std::size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO format{};
    format.bmiHeader = {
        sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data() + 2, &format, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// The committed bitmap of a picture in one set.
std::vector<DWORD> SetPixels(HWND picture, const char* set) {
    const std::string name = ControlText(GetParent(picture), GetDlgCtrlID(picture)) + set;
    auto* bitmap =
        static_cast<HBITMAP>(LoadImageA(InstanceHandle, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
    std::vector<DWORD> pixels = PixelsOf(bitmap);
    DeleteObject(bitmap);
    return pixels;
}

// The bitmap that each picture's template gives it, by control id.
int wrappedDialog = 0;
std::map<int, HBITMAP> templateBitmaps;
INT_PTR CALLBACK KeepingTemplateBitmaps(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        templateBitmaps.clear();
        EnumChildWindows(
            window,
            [](HWND control, LPARAM) -> BOOL {
                templateBitmaps[GetDlgCtrlID(control)] = Shown(control);
                return TRUE;
            },
            0);
    }
    return ScreenProcedure(wrappedDialog)(window, message, wParam, lParam);
}

TEST(DisplayScales, EveryScreenPassesItsChecksAtEveryResolution) {
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    for (const Resolution& resolution : Resolutions) {
        const DWORD value = resolution.first;
        for (const auto& [root, path] :
             {std::pair{HKEY_CURRENT_USER, "Control Panel\\Desktop"},
              {HKEY_LOCAL_MACHINE,
               "System\\CurrentControlSet\\Hardware Profiles\\Current\\Software\\Fonts"}}) {
            ASSERT_EQ(RegSetKeyValueA(root, path, "LogPixels", REG_DWORD, &value, sizeof value),
                      ERROR_SUCCESS);
        }
        SetEnvironmentVariableA(LogPixelsVariable, std::to_string(value).c_str());
        const std::string run = std::string(self) + " --gtest_filter=AtOneResolution.*";
        EXPECT_EQ(std::system(run.c_str()), 0) << "at " << value << " dots per inch";
    }
}

class AtOneResolution : public testing::Test {
  protected:
    void SetUp() override {
        const char* value = std::getenv(LogPixelsVariable);
        for (const Resolution& r : Resolutions) {
            resolution_ = value != nullptr && std::atoi(value) == r.first ? &r : resolution_;
        }
        if (resolution_ == nullptr) {
            GTEST_SKIP() << "run by DisplayScales at each resolution";
        }
        HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), resolution_->first);
        ReleaseDC(nullptr, screen);
    }
    const Resolution* resolution_ = nullptr;
};

// Within 4 % and 2 pixels of its place, the bitmap of its set, deleted when the screen closes
// together with the template's bitmap it replaced; a tab's pictures each choose the tab when
// pressed at their centre.
TEST_F(AtOneResolution, EveryPictureFillsItsPlaceWithItsSetsBitmapAndEveryTabPictureChoosesItsTab) {
    const ModalAnswerer answerer; // the view's warning that it has no file
    for (const Place& place : Places) {
        wrappedDialog = place.Dialog;
        HWND screen = CreateScreen(place.Dialog, KeepingTemplateBitmaps);
        RECT unit{0, 0, 4, 8};
        MapDialogRect(screen, &unit);
        std::vector<HBITMAP> shown;
        for (int id = place.FirstControl; id < place.FirstControl + place.Count; ++id) {
            HWND picture = GetDlgItem(screen, id);
            SCOPED_TRACE(ControlText(screen, id));
            const std::vector<DWORD> pixels = PixelsOf(Shown(picture));
            const double width = place.Width * unit.right / 4.0;
            const double height = place.Height * unit.bottom / 8.0;
            EXPECT_LE(std::abs(pixels[0] - width), std::min(2.0, 0.04 * width));
            EXPECT_LE(std::abs(pixels[1] - height), std::min(2.0, 0.04 * height));
            EXPECT_TRUE(pixels == SetPixels(picture, resolution_->second));
            shown.push_back(Shown(picture));
            shown.push_back(templateBitmaps[id]); // at 100 %, the one shown
            if (place.Count == TAB_COUNT) {       // a press at its centre chooses its tab
                CurrentSemester = (id - place.FirstControl + 1) % TAB_COUNT;
                POINT centre{static_cast<LONG>(pixels[0] / 2), static_cast<LONG>(pixels[1] / 2)};
                MapWindowPoints(picture, screen, &centre, 1);
                SendMessageA(screen, WM_LBUTTONDOWN, 0, MAKELPARAM(centre.x, centre.y));
                EXPECT_EQ(CurrentSemester, id - place.FirstControl);
            }
        }
        DestroyWindow(screen);
        for (HBITMAP bitmap : shown) { // its own and the template's, at every scale
            EXPECT_EQ(GetObjectType(bitmap), 0U) << "screen " << place.Dialog << " left a bitmap";
        }
    }
}

// Other displays and fonts give dialog units between and beyond the sets: the next larger set,
// scaled down smoothly (into colours the set's bitmap does not have), never up.
TEST(PictureSets, OtherScalesTakeTheNextLargerSetScaledDownSmoothlyNeverUp) {
    const struct {
        DialogScale Scale;
        const char* Set;
    } scales[] = {{{6, 12}, ""},      {{7, 15}, "_125"},  {{9, 17}, "_150"},
                  {{10, 21}, "_200"}, {{12, 26}, "_200"}, {{19, 40}, "_200"}};
    HWND files = CreateScreen(IDD_FILE_SELECT);
    HWND graduate = GetDlgItem(files, IDC_FILE_GRADUATE_PICTURE);
    const std::vector<DWORD> nominal = SetPixels(graduate, "");
    for (const auto& [scale, set] : scales) {
        SCOPED_TRACE(testing::Message() << scale.BaseX << " x " << scale.BaseY);
        EXPECT_STREQ(PictureSetFor(scale).Suffix, set);
        FitScreenPictures(files, scale);
        const std::vector<DWORD> drawn = SetPixels(graduate, set);
        const std::vector<DWORD> shown = PixelsOf(Shown(graduate));
        EXPECT_EQ(shown[0], std::min<DWORD>(MulDiv(nominal[0], scale.BaseX, 6), drawn[0]));
        EXPECT_EQ(shown[1], std::min<DWORD>(MulDiv(nominal[1], scale.BaseY, 13), drawn[1]));
        const bool ownColours = std::all_of(shown.begin() + 2, shown.end(), [&](DWORD c) {
            return std::find(drawn.begin() + 2, drawn.end(), c) != drawn.end();
        });
        EXPECT_TRUE(shown[0] == drawn[0] && shown[1] == drawn[1] ? shown == drawn : !ownColours);
    }
    DestroyWindow(files);
}

} // namespace
