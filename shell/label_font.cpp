#include "label_font.h"

namespace {
long liveFonts = 0;
constexpr int BoldWeight = 700;
constexpr int PointsPerInch = 72;
} // namespace

int ScreenLogPixelsY(HWND window) {
    HDC dc = GetDC(window);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(window, dc);
    return dpi;
}

HFONT CreateLabelFont(int logPixelsY, int points, const char* face) {
    HFONT font = CreateFontA(-MulDiv(logPixelsY, points, PointsPerInch), 0, 0, 0, BoldWeight, 0, 0,
                             0, 0, 0, 0, 0, 0, face);
    if (font != nullptr) {
        ++liveFonts;
    }
    return font;
}

void ReleaseLabelFont(HFONT font) {
    if (font != nullptr && DeleteObject(font) != 0) {
        --liveFonts;
    }
}

long LiveLabelFonts() {
    return liveFonts;
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
