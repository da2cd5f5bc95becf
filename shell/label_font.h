// Fonts and colours of the decorated labels. Fonts: bold (700), height from the screen's
// LOGPIXELSY and the point size, every other CreateFontA argument 0. Colours: each screen lists
// the labels that have a text colour of their own.
#pragma once

#include <windows.h>

#include <span>

// LOGPIXELSY of the screen the dialog is on (GetDC, GetDeviceCaps, ReleaseDC).
int ScreenLogPixelsY(HWND window);

// A decorated label: its own font, made in table order, and the text it then shows.
struct LabelStyle {
    int ControlId;
    const char* Face;
    int Points;
    const char* Text; // nullptr: the text is left as it is
};

// Makes one font per label, gives it to its control and sets the label's text. The fonts
// belong to the screen's window until ReleaseLabelFonts.
void MakeLabelFonts(HWND window, std::span<const LabelStyle> labels);

// Takes each font off its label before deleting it, so that nothing paints with a dead handle.
// A second call finds nothing left to release; every screen calls it on WM_DESTROY too.
void ReleaseLabelFonts(HWND window);

// A label's own text colour (COLORREF 0x00BBGGRR).
struct LabelColour {
    int ControlId;
    COLORREF Colour;
};

// WM_CTLCOLORSTATIC of a decorated screen: transparent background mode, background colour
// COLOR_WINDOW, the control's own text colour where colours lists it; returns the light grey
// brush for every static control.
INT_PTR PaintLabel(HDC dc, HWND control, std::span<const LabelColour> colours);

// WM_CTLCOLORDLG of a decorated screen: the labels are filled with light grey, so the screen is
// too; otherwise every label would sit in a grey box wherever the system's dialog colour is not
// that grey.
INT_PTR LabelBackgroundBrush();
