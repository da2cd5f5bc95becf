// The dialog "Plan a target CGPA": what it takes to reach a target CGPA in a coming semester,
// answered while the user types, from the records the results view loaded. It writes nothing.
#pragma once

#include <windows.h>

// Opens the dialog modally over the view, which it belongs to; returns when it closes (Close,
// Escape or the close box: the dialog alone ends).
void OpenPlanDialog(HWND view);

INT_PTR CALLBACK PlanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
