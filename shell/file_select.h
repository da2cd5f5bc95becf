// File selection screen: new or existing result file, named in the standard Save As or Open
// dialog. Pieces of it that tests check on their own.
#pragma once

#include <windows.h>

#include <commdlg.h>

#include <string>

// Which standard dialog the shared record is filled for.
enum class FileDialogKind { SaveAs, Open };

// Fills the one record both dialogs share: owner MainWindow, the "Result Files (*.rst)" filter,
// the title "Select a file", ResultFilePath as the file buffer, default extension "rst".
// The Save As dialog leaves out OFN_FILEMUSTEXIST so that it accepts a name that does not
// exist yet, and asks before an existing file is replaced (OFN_OVERWRITEPROMPT).
void FillFileDialogRecord(OPENFILENAMEA& record, FileDialogKind kind);

// Whether a name chosen in the Open dialog is taken as a result file: it contains ".rst"
// anywhere (case-sensitive).
bool IsResultFileName(const char* path);

// "GetOpenFileName returned Error #" (or "GetSaveFileName ...") followed by the code in decimal.
std::string FileDialogErrorText(FileDialogKind kind, DWORD code);
