// The shortcut menu on the results view's subjects, and the changes it makes to the result file.
#pragma once

#include <windows.h>

// WM_CONTEXTMENU of the results view. A right-click on a row opens the menu of its subject:
//
//     &Remove "<subject>"...
//     Re&name...
//     ----------------------
//     &Grade     >  A  A-  B+  B  B-  C+  C  C-  D+  D
//     &Credits   >  1  2  3  4
//     &Semester  >  Semester 1 ... Semester 8
//
// with the subject's own grade, credits and semester checked. The menu key or Shift+F10 opens a
// menu of every subject of the semester, each with that menu, then the view's own items
// (view_menu.h), which a right-click anywhere else in the view opens alone. Nothing opens while a
// box or dialog of the view is up.
void OpenSubjectMenu(HWND view, LPARAM lParam);
