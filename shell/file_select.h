// File selection screen: new or existing result file, named in the standard Save As or Open
// dialog. Pieces of it that tests check on their own.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

// Which standard dialog the shared record is filled for.
enum class FileDialogKind { SaveAs, Open };

// Fills the one record both dialogs share (the wide form, so that any folder and name can be
// chosen): owner the file selection screen (BoxOwner), the "Result Files (*.rst)" filter, the
// title "Select a file", a file buffer of MAX_PATH characters, default extension "rst". The Save
// As dialog leaves out OFN_FILEMUSTEXIST so that it accepts a name that does not exist yet, and
// asks before an existing file is replaced (OFN_OVERWRITEPROMPT).
void FillFileDialogRecord(OPENFILENAMEW& record, FileDialogKind kind);

// Whether a name chosen in the Open dialog (UTF-8) is taken as a result file: it contains
// ".rst" anywhere (case-sensitive).
bool IsResultFileName(const char* path);

// What a failing dialog says: that the name is too long and how long it may be, when it did not
// fit the dialog's buffer (FNERR_BUFFERTOOSMALL); otherwise "GetOpenFileName returned Error #"
// (or "GetSaveFileName ...") followed by the code in decimal.
std::string FileDialogErrorText(FileDialogKind kind, DWORD code);
