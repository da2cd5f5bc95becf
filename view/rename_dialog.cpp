#include "rename_dialog.h"

#include "app_state.h"
#include "encoding.h"
#include "resource.h"
#include "screen_flow.h"
#include "typed_subject.h"

namespace {

constexpr char NoName[] = "A subject needs a name.";

// What the dialog works on: the record whose subject it shows, and the name OK took.
struct Renaming {
    const SubjectRecord* Record = nullptr;
    std::string Name;
};

INT_PTR OnInitDialog(HWND dialog, LPARAM lParam) {
    SetWindowLongPtrA(dialog, DWLP_USER, lParam);
    const auto* renaming =
        reinterpret_cast<const Renaming*>(lParam); // NOLINT(performance-no-int-to-ptr)
    HWND field = GetDlgItem(dialog, IDC_RENAME_SUBJECT);
    SendMessageW(field, EM_LIMITTEXT, SubjectSize - 1, 0); // as the entry screen's field
    const std::string shown = Utf8FromCodePage(WithoutLineFeed(renaming->Record->Subject));
    SetWindowTextW(field, Utf16FromUtf8(shown).c_str());
    SendMessageW(field, EM_SETSEL, 0, -1);
    SetFocus(field);
    return FALSE; // the focus is placed
}

// OK takes a name that Insert would store, and that is not empty; otherwise an "Input Error" says
// why and the dialog stays, with the text as typed.
void OnOk(HWND dialog) {
    auto* renaming = reinterpret_cast<Renaming*>(GetWindowLongPtrA(dialog, DWLP_USER)); // NOLINT
    const std::wstring typed = TypedSubject(dialog, IDC_RENAME_SUBJECT);
    if (typed.empty()) {
        ShowMessage(NoName, "Input Error", MB_OK | MB_ICONWARNING, dialog);
        return;
    }
    const std::optional<std::string> name =
        StoredSubject(typed.c_str(), dialog, "The subject was not renamed.", "press OK again");
    if (name) {
        renaming->Name = *name;
        EndDialog(dialog, IDOK);
    }
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: OnOk(dialog); break;
    case IDCANCEL: EndDialog(dialog, IDCANCEL); break; // Cancel, Escape and the close box
    default: break;
    }
    return TRUE;
}

} // namespace

std::optional<std::string> AskNewName(HWND view, const SubjectRecord& record) {
    Renaming renaming{&record, {}};
    INT_PTR result = 0;
    {
        NestedLoopScope nested;
        result = DialogBoxParamW(InstanceHandle, MAKEINTRESOURCEW(IDD_RENAME_SUBJECT), view,
                                 RenameDialogProc, reinterpret_cast<LPARAM>(&renaming));
    }
    if (result != IDOK) {
        return std::nullopt;
    }
    return renaming.Name;
}

INT_PTR CALLBACK RenameDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog, lParam);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    default: return FALSE;
    }
}
