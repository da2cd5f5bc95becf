// File selection screen: "New file" through the Save As dialog to the subject entry screen,
// "Existing file" through the Open dialog to the results view; Cancel, Escape and the close
// box end the program.
#include "file_select.h"

#include <cstdio>
#include <cstring>

#include "app_state.h"
#include "encoding.h"
#include "resource.h"
#include "screen_flow.h"
#include "screen_pictures.h"

namespace {

constexpr wchar_t FileDialogTitle[] = L"Select a file";
// One pair (description, pattern), ended by an extra empty string.
constexpr wchar_t ResultFileFilter[] = L"Result Files (*.rst)\0*.rst\0";
constexpr wchar_t ResultFileExtension[] = L"rst";
constexpr char ResultFileMarker[] = ".rst";

constexpr char OpenErrorPrefix[] = "GetOpenFileName returned Error #";
constexpr char SaveAsErrorPrefix[] = "GetSaveFileName returned Error #";
constexpr int ErrorTextSize = 50;
constexpr int ErrorCodeSize = 8;
constexpr char ErrorCaption[] = "WARNING";
constexpr char InvalidNameText[] = "The Filename you have entered is an invalid .rst file";
constexpr char InvalidNameCaption[] = "Input Error";
constexpr char NameTooLongText[] =
    "The file name is too long: with its folder, a result file's name may have at most 259 "
    "characters.\n\nChoose a shorter name, or a folder nearer the top of the drive.";

constexpr DWORD OpenFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
// Save As accepts a name that does not exist yet, and asks before an existing file is chosen:
// the first Insert would empty it.
constexpr DWORD SaveAsFlags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT;

OPENFILENAMEW FileDialogRecord;         // shared by the Save As and the Open dialog
wchar_t FileDialogName[MAX_PATH] = L""; // the dialogs' name, which becomes ResultFilePath

bool IsChecked(HWND window, int controlId) {
    return SendDlgItemMessageA(window, controlId, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

// Shows the standard dialog, starting from the path named last; returns whether it gave a
// name. Only a name given becomes ResultFilePath: a dialog that fails may have written into
// its buffer (one too small gets the needed size in its first two bytes).
bool ShowFileDialog(FileDialogKind kind) {
    lstrcpynW(FileDialogName, Utf16FromUtf8(ResultFilePath).c_str(), MAX_PATH);
    FillFileDialogRecord(FileDialogRecord, kind);
    BOOL chosen = FALSE;
    {
        NestedLoopScope nested;
        chosen = kind == FileDialogKind::SaveAs ? GetSaveFileNameW(&FileDialogRecord)
                                                : GetOpenFileNameW(&FileDialogRecord);
    }
    if (chosen == FALSE) {
        // A code of 0 means the user cancelled; anything else is a failure to report.
        if (const DWORD code = CommDlgExtendedError(); code != 0) {
            ShowMessage(FileDialogErrorText(kind, code).c_str(), ErrorCaption, MB_ICONERROR);
        }
        return false;
    }
    lstrcpynA(ResultFilePath, Utf8FromUtf16(FileDialogName).c_str(), ResultFilePathSize);
    return true;
}

void ChooseNewFile(HWND window) {
    IsNewFile = 1;
    if (!ShowFileDialog(FileDialogKind::SaveAs)) {
        return;
    }
    if (ResultFilePath[0] != '\0') {
        ChangeScreen(window, IDD_SUBJECT_ENTRY);
    }
}

void ChooseExistingFile(HWND window) {
    IsNewFile = 0;
    if (!ShowFileDialog(FileDialogKind::Open)) {
        return;
    }
    if (ResultFilePath[0] == '\0') {
        return;
    }
    if (IsResultFileName(ResultFilePath)) {
        ChangeScreen(window, IDD_RESULTS_VIEW);
    } else {
        ShowMessage(InvalidNameText, InvalidNameCaption, MB_ICONWARNING);
    }
}

void OnInitDialog(HWND window) {
    ScreenOpened(window);
    FitScreenPictures(window, ScaleOf(window));
    SendDlgItemMessageA(window, IDC_FILE_NEW, BM_SETCHECK, BST_CHECKED, 0);
    SendDlgItemMessageA(window, IDC_FILE_EXISTING, BM_SETCHECK, BST_UNCHECKED, 0);
}

void OnCommand(HWND window, WPARAM wParam) {
    // While its file dialog or a box is up, a second OK would refill the record and the path
    // that the first one is still using.
    if (IsClickUnderBox(wParam)) {
        return;
    }
    switch (LOWORD(wParam)) {
    case IDCANCEL:
    case IDC_FILE_CANCEL: PostQuitMessage(0); break;
    case IDC_FILE_OK:
        if (IsChecked(window, IDC_FILE_NEW)) {
            ChooseNewFile(window);
        } else if (IsChecked(window, IDC_FILE_EXISTING)) {
            ChooseExistingFile(window);
        }
        break;
    default: break;
    }
}

} // namespace

void FillFileDialogRecord(OPENFILENAMEW& record, FileDialogKind kind) {
    record = {};
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = BoxOwner();
    record.hInstance = nullptr;
    record.lpstrFilter = ResultFileFilter;
    record.lpstrCustomFilter = nullptr;
    record.nMaxCustFilter = 0;
    record.nFilterIndex = 1;
    record.lpstrFile = FileDialogName;
    record.nMaxFile = MAX_PATH;
    record.lpstrFileTitle = nullptr;
    record.nMaxFileTitle = 0;
    record.lpstrInitialDir = nullptr;
    record.lpstrTitle = FileDialogTitle;
    record.Flags = kind == FileDialogKind::SaveAs ? SaveAsFlags : OpenFlags;
    record.nFileOffset = 0;
    record.nFileExtension = 0;
    record.lpstrDefExt = ResultFileExtension;
    record.lCustData = 0;
    record.lpfnHook = nullptr;
    record.lpTemplateName = nullptr;
}

bool IsResultFileName(const char* path) {
    return std::strstr(path, ResultFileMarker) != nullptr;
}

std::string FileDialogErrorText(FileDialogKind kind, DWORD code) {
    if (code == FNERR_BUFFERTOOSMALL) {
        return NameTooLongText;
    }
    const char* prefix = kind == FileDialogKind::SaveAs ? SaveAsErrorPrefix : OpenErrorPrefix;
    char text[ErrorTextSize] = "";
    char number[ErrorCodeSize] = "";
    // Both are cut to their buffers; what was cut is not needed.
    static_cast<void>(std::snprintf(number, sizeof number, "%ld", static_cast<long>(code)));
    static_cast<void>(std::snprintf(text, sizeof text, "%s%s", prefix, number));
    return text;
}

extern "C" INT_PTR CALLBACK DialogFunc1(HWND window, UINT message, WPARAM wParam,
                                        LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: OnInitDialog(window); return FALSE;
    case WM_COMMAND: OnCommand(window, wParam); return FALSE;
    case WM_DESTROY:
        ScreenClosed(window);
        ReleaseScreenPictures(window);
        return FALSE;
    default: return FALSE;
    }
}
