// The dialog "Rename subject": a new name for a subject of the results view, checked as Insert
// checks what is typed. It writes nothing itself.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "subject_record.h"

// Opens the dialog modally over the view, which it belongs to, with the record's subject in its
// field; returns the name as the result file stores it once OK takes it, or nothing when the
// dialog is left (Cancel, Escape or the close box: the dialog alone ends).
std::optional<std::string> AskNewName(HWND view, const SubjectRecord& record);

INT_PTR CALLBACK RenameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
