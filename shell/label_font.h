// Fonts of the decorated labels: bold (700), height from the screen's LOGPIXELSY and the
// point size, every other CreateFontA argument 0. Every font made here is counted, so tests
// can check that screens release what they create.
#pragma once

#include <windows.h>

// LOGPIXELSY of the screen the dialog is on (GetDC, GetDeviceCaps, ReleaseDC).
int ScreenLogPixelsY(HWND window);

HFONT CreateLabelFont(int logPixelsY, int points, const char* face);

// Deletes a font made by CreateLabelFont; nullptr is ignored.
void ReleaseLabelFont(HFONT font);

// Fonts made by CreateLabelFont and not yet released.
long LiveLabelFonts();
