#include "label_font.h"

#include <utility>
#include <vector>

namespace {
constexpr int BoldWeight = 700;
constexpr int PointsPerInch = 72;

// The fonts a screen made, each with its label, kept as a property of the screen's window:
// two screens of one kind can be alive at once (one ended, one working).
using ScreenFonts = std::vector<std::pair<int, HFONT>>;
constexpr char ScreenFontsProperty[] = "GradewickLabelFonts";

HFONT CreateLabelFont(int logPixelsY, int points, const char* face) {
    return CreateFontA(-MulDiv(logPixelsY, points, PointsPerInch), 0, 0, 0, BoldWeight, 0, 0, 0, 0,
                       0, 0, 0, 0, face);
}

} // namespace

int ScreenLogPixelsY(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

void MakeLabelFonts(HWND window, std::span<const LabelStyle> labels) {
    ReleaseLabelFonts(window);
    auto* fonts = new ScreenFonts();
    SetPropA(window, ScreenFontsProperty, fonts);
    const int logPixelsY = ScreenLogPixelsY(window);
    for (const LabelStyle& label : labels) {
        HFONT font = CreateLabelFont(logPixelsY, label.Points, label.Face);
        fonts->emplace_back(label.ControlId, font);
        SendDlgItemMessageA(window, label.ControlId, WM_SETFONT, reinterpret_cast<WPARAM>(font),
                            FALSE);
        if (label.Text != nullptr) {
            SetDlgItemTextA(window, label.ControlId, label.Text);
        }
    }
}

void ReleaseLabelFonts(HWND window) {
    auto* fonts = static_cast<ScreenFonts*>(RemovePropA(window, ScreenFontsProperty));
    if (fonts == nullptr) {
        return;
    }
    for (const auto& [controlId, font] : *fonts) {
        SendDlgItemMessageA(window, controlId, WM_SETFONT, 0, FALSE);
        if (font != nullptr) {
            DeleteObject(font);
        }
    }
    delete fonts;
}

INT_PTR PaintLabel(HDC dc, HWND control, std::span<const LabelColour> colours) {
    SetBkMode(dc, TRANSPARENT);
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    const int id = GetDlgCtrlID(control);
    for (const LabelColour& label : colours) {
        if (label.ControlId == id) {
            SetTextColor(dc, label.Colour);
        }
    }
    return LabelBackgroundBrush();
}

INT_PTR LabelBackgroundBrush() {
    return reinterpret_cast<INT_PTR>(GetStockObject(LTGRAY_BRUSH));
}
