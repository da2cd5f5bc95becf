#include "screen_pictures.h"

#include <algorithm>
#include <array>
#include <string>

namespace {

constexpr std::array<PictureSet, 4> PictureSets{{
    {"", NominalScale},
    {"_125", {8, 16}},
    {"_150", {9, 20}},
    {"_200", {12, 26}},
}};

// A static control deletes at most the bitmap that its template text loaded, and only while it
// owns it: from the first STM_SETIMAGE on it owns none. So every picture is given its bitmap with
// STM_SETIMAGE, keeps its template's bitmap and ours here, and both are deleted when the screen
// closes.
constexpr char TemplateBitmapProperty[] = "Gradewick.TemplateBitmap";
constexpr char OwnBitmapProperty[] = "Gradewick.OwnBitmap";

// The longest template text of a picture, with room for a suffix.
constexpr int PictureNameLength = 64;

bool IsPicture(HWND control) {
    std::array<char, 8> className{};
    GetClassNameA(control, className.data(), static_cast<int>(className.size()));
    return lstrcmpiA(className.data(), "Static") == 0 &&
           (GetWindowLongA(control, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP;
}

SIZE SizeOf(HBITMAP bitmap) {
    BITMAP info{};
    GetObjectA(bitmap, sizeof info, &info);
    return {info.bmWidth, info.bmHeight};
}

// A copy of bitmap reduced to size with averaging, so that thin lines and edges stay smooth.
HBITMAP ScaledDown(HBITMAP bitmap, SIZE from, SIZE size) {
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen);
    HDC target = CreateCompatibleDC(screen);
    HBITMAP scaled = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ sourceBefore = SelectObject(source, bitmap);
    HGDIOBJ targetBefore = SelectObject(target, scaled);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, size.cx, size.cy, source, 0, 0, from.cx, from.cy, SRCCOPY);
    SelectObject(source, sourceBefore);
    SelectObject(target, targetBefore);
    DeleteDC(source);
    DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return scaled;
}

HBITMAP ShowBitmap(HWND control, HBITMAP bitmap) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
    return reinterpret_cast<HBITMAP>(
        SendMessageA(control, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

// The bitmap that the picture's template gave it.
HBITMAP TemplateBitmap(HWND control) {
    if (auto* kept = static_cast<HBITMAP>(GetPropA(control, TemplateBitmapProperty))) {
        return kept;
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): handles travel as integers
    return reinterpret_cast<HBITMAP>(SendMessageA(control, STM_GETIMAGE, IMAGE_BITMAP, 0));
}

// Puts bitmap (ours, the template's, or none) on the picture and deletes every bitmap of ours
// that it takes off, also a copy that the control made of ours and hands back.
void PutBitmap(HWND control, HBITMAP original, HBITMAP bitmap) {
    SetPropA(control, TemplateBitmapProperty, original);
    auto* ours = static_cast<HBITMAP>(RemovePropA(control, OwnBitmapProperty));
    HBITMAP taken = ShowBitmap(control, bitmap);
    for (HBITMAP old : {taken, taken != ours ? ours : nullptr}) {
        if (old != nullptr && old != original && old != bitmap) {
            DeleteObject(old);
        }
    }
    if (bitmap != nullptr && bitmap != original) {
        SetPropA(control, OwnBitmapProperty, bitmap);
    }
}

void ReleasePicture(HWND control) {
    auto* original = static_cast<HBITMAP>(GetPropA(control, TemplateBitmapProperty));
    if (original == nullptr) {
        return; // not a picture, or one without a bitmap
    }
    PutBitmap(control, original, nullptr);
    RemovePropA(control, TemplateBitmapProperty);
    DeleteObject(original);
}

void FitPicture(HWND control, DialogScale scale) {
    HBITMAP original = TemplateBitmap(control);
    if (original == nullptr) {
        return;
    }
    const PictureSet set = PictureSetFor(scale);
    HBITMAP drawn = original;
    if (*set.Suffix != '\0') {
        std::array<char, PictureNameLength> text{};
        GetWindowTextA(control, text.data(), static_cast<int>(text.size()));
        const std::string name = std::string(text.data()) + set.Suffix;
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles travel as integers
        auto* instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(control, GWLP_HINSTANCE));
        drawn = static_cast<HBITMAP>(LoadImageA(instance, name.c_str(), IMAGE_BITMAP, 0, 0, 0));
        if (drawn == nullptr) {
            return;
        }
    }
    const SIZE nominal = SizeOf(original);
    const SIZE drawnSize = SizeOf(drawn);
    const SIZE size{
        std::min<LONG>(MulDiv(nominal.cx, scale.BaseX, NominalScale.BaseX), drawnSize.cx),
        std::min<LONG>(MulDiv(nominal.cy, scale.BaseY, NominalScale.BaseY), drawnSize.cy)};
    HBITMAP shown = drawn;
    if (size.cx != drawnSize.cx || size.cy != drawnSize.cy) {
        shown = ScaledDown(drawn, drawnSize, size);
        if (drawn != original) {
            DeleteObject(drawn);
        }
    }
    // Even at the nominal scale, where it shows its template's bitmap again: a static control
    // does not always delete the bitmap it loaded itself (Wine's never does), so the screen
    // takes it out and deletes it when it closes.
    PutBitmap(control, original, shown);
}

BOOL CALLBACK FitIfPicture(HWND control, LPARAM scale) {
    if (IsPicture(control)) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
        FitPicture(control, *reinterpret_cast<const DialogScale*>(scale));
    }
    return TRUE;
}

BOOL CALLBACK ReleaseIfPicture(HWND control, LPARAM /*unused*/) {
    ReleasePicture(control);
    return TRUE;
}

} // namespace

DialogScale ScaleOf(HWND dialog) {
    RECT units{0, 0, 4, 8};
    if (MapDialogRect(dialog, &units) == FALSE || units.right <= 0 || units.bottom <= 0) {
        return NominalScale;
    }
    return {units.right, units.bottom};
}

PictureSet PictureSetFor(DialogScale scale) {
    const auto* set =
        std::find_if(PictureSets.begin(), PictureSets.end(), [&](const PictureSet& s) {
            return s.DrawnFor.BaseX >= scale.BaseX && s.DrawnFor.BaseY >= scale.BaseY;
        });
    return set != PictureSets.end() ? *set : PictureSets.back();
}

void FitScreenPictures(HWND dialog, DialogScale scale) {
    EnumChildWindows(dialog, FitIfPicture, reinterpret_cast<LPARAM>(&scale));
}

void ReleaseScreenPictures(HWND dialog) {
    EnumChildWindows(dialog, ReleaseIfPicture, 0);
}
