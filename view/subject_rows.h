// The subject rows of the results view: seven rows of cells that show a semester from a first
// row on, and a scroll bar beside them, shown only when the semester has more rows than that.
#pragma once

#include <windows.h>

#include <array>

#include "resource.h"
#include "summary.h"

// Subject, credits and grade cells of rows 1..7.
constexpr std::array<int, SummarySlotCount> SubjectCells = {
    IDC_VIEW_ROW1_SUBJECT,     IDC_VIEW_ROW1_SUBJECT + 1, IDC_VIEW_ROW1_SUBJECT + 2,
    IDC_VIEW_ROW1_SUBJECT + 3, IDC_VIEW_ROW1_SUBJECT + 4, IDC_VIEW_ROW1_SUBJECT + 5,
    IDC_VIEW_ROW1_SUBJECT + 6};
constexpr std::array<int, SummarySlotCount> CreditCells = {
    IDC_VIEW_ROW1_CREDITS,     IDC_VIEW_ROW1_CREDITS + 1, IDC_VIEW_ROW1_CREDITS + 2,
    IDC_VIEW_ROW1_CREDITS + 3, IDC_VIEW_ROW1_CREDITS + 4, IDC_VIEW_ROW1_CREDITS + 5,
    IDC_VIEW_ROW1_CREDITS + 6};
constexpr std::array<int, SummarySlotCount> GradeCells = {
    IDC_VIEW_ROW1_GRADE, IDC_VIEW_ROW1_GRADE + 1, IDC_VIEW_ROW1_GRADE + 2, IDC_VIEW_ROW1_GRADE + 3,
    IDC_VIEW_ROW5_GRADE, IDC_VIEW_ROW5_GRADE + 1, IDC_VIEW_ROW5_GRADE + 2};

// A view that opens shows the top of its semester, and gets a tooltip over its subject cells.
void ResetRows(HWND view);

// Empties the cells, sums the records (SummarizeRecords) and fills the rows of semester s from
// the first row shown: the top when s is not the semester shown before, and never past the last
// seven. A subject cell shows its subject without its line feed, on one line, and its tooltip
// the whole subject. The scroll bar shows where the rows are when s has more of them; the grade
// cells then end where it begins, and are as wide as their template made them otherwise.
void ShowRows(HWND view, int s);

// WM_VSCROLL from the scroll bar and WM_MOUSEWHEEL over the view: the rows move, nothing else.
void OnRowsScroll(HWND view, int code);
void OnRowsWheel(HWND view, int delta);

// The record (table index) shown in the row whose cells hold the point (screen coordinates),
// or -1.
int RecordAtPoint(HWND view, POINT point);
