// The pictures of a screen at the display's scale. Every bitmap comes in four sets, drawn for
// the dialog base units of 100, 125, 150 and 200 % display scale: a picture control's template
// text names its 100 % bitmap ("pic1click": PIC1CLICK), and the same name with the suffix
// "_125", "_150" or "_200" names the larger ones (PIC1CLICK_150).
#pragma once

#include <windows.h>

// The dialog's base units (MapDialogRect of a 4 x 8 dialog-unit rectangle). The template font
// on a 96 dots-per-inch screen gives 6 x 13 (1.5 x 1.625 pixels per dialog unit).
struct DialogScale {
    int BaseX;
    int BaseY;
};
constexpr DialogScale NominalScale{6, 13};

// The base units of a dialog window.
DialogScale ScaleOf(HWND dialog);

// A set of pictures: the suffix of its resource names and the base units it is drawn for.
struct PictureSet {
    const char* Suffix;
    DialogScale DrawnFor;
};

// The set for a screen at this scale: the smallest drawn for at least its base units in both
// directions, so that a picture is only ever scaled down; above the largest set, that set.
PictureSet PictureSetFor(DialogScale scale);

// WM_INITDIALOG: each picture of the screen shows its bitmap at this scale, its 100 % size
// times the scale's base units over 6 x 13: the bitmap of the chosen set as it is where the set
// is drawn for this scale, else that bitmap scaled down smoothly, never beyond the set's size.
// At the nominal scale the pictures show the bitmaps their templates gave them.
void FitScreenPictures(HWND dialog, DialogScale scale);

// WM_DESTROY: each picture's bitmap is taken out of it and deleted, and so is the template bitmap
// it replaced; their controls own none of them.
void ReleaseScreenPictures(HWND dialog);
