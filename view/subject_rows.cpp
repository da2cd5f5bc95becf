#include "subject_rows.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "app_state.h"
#include "subject_record.h"

namespace {

int firstRow = 0;       // rows of the semester above the cells
int rowsSemester = -1;  // the semester whose rows the cells show
int rowCount = 0;       // rows of that semester
int wheelRemainder = 0; // wheel movement short of a whole notch
std::array<int, SummarySlotCount> shownRecords{-1, -1, -1, -1, -1, -1, -1};
std::array<int, SummarySlotCount> gradeCellWidths{}; // as the template made them, in pixels
HWND subjectTips = nullptr; // the tooltip of the subject cells, owned by the view

constexpr int RowsPerPage = SummarySlotCount;

HWND ScrollBar(HWND view) {
    return GetDlgItem(view, IDC_VIEW_ROWS_SCROLL);
}

// The grade cells end where the scroll bar begins while it shows, so that no cell paints over it.
void FitGradeCells(HWND view, bool barShown) {
    RECT bar{};
    GetWindowRect(ScrollBar(view), &bar);
    for (std::size_t row = 0; row < GradeCells.size(); ++row) {
        HWND cell = GetDlgItem(view, GradeCells[row]);
        RECT place{};
        GetWindowRect(cell, &place);
        const int width = barShown ? std::min<int>(gradeCellWidths[row], bar.left - place.left)
                                   : gradeCellWidths[row];
        SetWindowPos(cell, nullptr, 0, 0, width, place.bottom - place.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void PlaceScrollBar(HWND view) {
    HWND bar = ScrollBar(view);
    FitGradeCells(view, rowCount > RowsPerPage);
    if (rowCount <= RowsPerPage) {
        if (GetFocus() == bar) {
            SetFocus(GetDlgItem(view, IDC_VIEW_SEMESTER_LIST));
        }
        ShowWindow(bar, SW_HIDE);
        return;
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    info.nMin = 0;
    info.nMax = rowCount - 1;
    info.nPage = RowsPerPage;
    info.nPos = firstRow;
    SetScrollInfo(bar, SB_CTL, &info, TRUE);
    ShowWindow(bar, SW_SHOWNORMAL);
}

// A subject cell shows one line, cut short with "..." where the subject does not fit: a tooltip
// over each cell shows its subject in full while the pointer rests on it. The cells let the
// pointer through to the view, so the tools are the cells' places on the view.
void MakeSubjectTips(HWND view) {
    INITCOMMONCONTROLSEX classes{sizeof classes, ICC_BAR_CLASSES}; // the tooltip's class
    InitCommonControlsEx(&classes);
    subjectTips =
        CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                        WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, view, nullptr, nullptr, nullptr);
    for (int id : SubjectCells) {
        TTTOOLINFOA tool{};
        tool.cbSize = TTTOOLINFOA_V2_SIZE;
        tool.uFlags = TTF_SUBCLASS;
        tool.hwnd = view;
        tool.uId = static_cast<UINT_PTR>(id);
        GetWindowRect(GetDlgItem(view, id), &tool.rect);
        MapWindowPoints(nullptr, view, reinterpret_cast<POINT*>(&tool.rect), 2);
        tool.lpszText = const_cast<char*>(""); // only read
        SendMessageA(subjectTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

// The subject of a row in its cell and in the cell's tooltip; "" for an empty row.
void ShowSubject(HWND view, int id, const std::string& subject) {
    SetDlgItemTextA(view, id, subject.c_str());
    TTTOOLINFOA tool{};
    tool.cbSize = TTTOOLINFOA_V2_SIZE;
    tool.hwnd = view;
    tool.uId = static_cast<UINT_PTR>(id);
    tool.lpszText = const_cast<char*>(subject.c_str()); // only read
    SendMessageA(subjectTips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
}

void ScrollTo(HWND view, int row) {
    firstRow = std::clamp(row, 0, std::max(0, rowCount - RowsPerPage));
    ShowRows(view, CurrentSemester);
}

} // namespace

void ResetRows(HWND view) {
    for (std::size_t row = 0; row < GradeCells.size(); ++row) {
        RECT place{};
        GetWindowRect(GetDlgItem(view, GradeCells[row]), &place);
        gradeCellWidths[row] = place.right - place.left;
    }
    firstRow = 0;
    rowsSemester = -1;
    rowCount = 0;
    wheelRemainder = 0;
    shownRecords.fill(-1);
    MakeSubjectTips(view);
}

void ShowRows(HWND view, int s) {
    for (const auto* cells : {&SubjectCells, &CreditCells, &GradeCells}) {
        for (int id : *cells) {
            SetDlgItemTextA(view, id, "");
        }
    }
    if (s != rowsSemester) {
        firstRow = 0;
        rowsSemester = s;
    }
    SummarySlots slots = SummarizeRecords(s, firstRow);
    rowCount = slots.RowCount;
    if (const int last = std::max(0, rowCount - RowsPerPage); firstRow > last) {
        firstRow = last; // the semester lost rows since they were shown
        slots = SummarizeRecords(s, firstRow);
    }
    shownRecords = slots.Records;
    for (std::size_t row = 0; row < slots.Slots.size(); ++row) {
        const auto& summary = slots.Slots[row];
        // Without the line feed that the load keeps, which a one-line cell would show.
        ShowSubject(view, SubjectCells[row],
                    summary ? std::string(WithoutLineFeed(summary->Subject)) : std::string());
        if (summary.has_value()) {
            SetDlgItemTextA(view, CreditCells[row], summary->Credits);
            SetDlgItemTextA(view, GradeCells[row], summary->Grade);
        }
    }
    PlaceScrollBar(view);
}

void OnRowsScroll(HWND view, int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_TRACKPOS;
    GetScrollInfo(ScrollBar(view), SB_CTL, &info);
    switch (code) {
    case SB_LINEUP: ScrollTo(view, firstRow - 1); break;
    case SB_LINEDOWN: ScrollTo(view, firstRow + 1); break;
    case SB_PAGEUP: ScrollTo(view, firstRow - RowsPerPage); break;
    case SB_PAGEDOWN: ScrollTo(view, firstRow + RowsPerPage); break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: ScrollTo(view, info.nTrackPos); break;
    case SB_TOP: ScrollTo(view, 0); break;
    case SB_BOTTOM: ScrollTo(view, rowCount); break;
    default: break;
    }
}

void OnRowsWheel(HWND view, int delta) {
    if (rowCount <= RowsPerPage || rowsSemester != CurrentSemester) {
        return;
    }
    UINT linesPerNotch = 3;
    SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &linesPerNotch, 0);
    const int rowsPerNotch = linesPerNotch == WHEEL_PAGESCROLL
                                 ? RowsPerPage
                                 : std::min<int>(static_cast<int>(linesPerNotch), RowsPerPage);
    wheelRemainder += delta;
    const int notches = wheelRemainder / WHEEL_DELTA;
    wheelRemainder -= notches * WHEEL_DELTA;
    ScrollTo(view, firstRow - notches * rowsPerNotch); // a push away from the user moves up
}

int RecordAtPoint(HWND view, POINT point) {
    for (std::size_t row = 0; row < shownRecords.size(); ++row) {
        for (int id : {SubjectCells[row], CreditCells[row], GradeCells[row]}) {
            RECT cell{};
            GetWindowRect(GetDlgItem(view, id), &cell);
            if (PtInRect(&cell, point) != FALSE) {
                return shownRecords[row];
            }
        }
    }
    return -1;
}
