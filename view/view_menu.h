// The results view's own shortcut menu: a right-click outside the subjects' rows opens it, and
// the keyboard's menu ends with its items. Each item is one row of a table: its text and what it
// does.
#pragma once

#include <windows.h>

// Commands of the view's items count up from here, above every command of the subjects' menus.
constexpr UINT FirstViewCommand = 0x4000;

// Appends the view's items to menu.
void AppendViewItems(HMENU menu);

// Carries out command if it is one of the view's items; false if it is not.
bool RunViewCommand(HWND view, UINT command);
