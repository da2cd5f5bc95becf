#include "plan_dialog.h"

#include <optional>
#include <string>
#include <vector>

#include "app_state.h"
#include "grade_scale.h"
#include "planner.h"
#include "resource.h"
#include "screen_flow.h"

namespace {

constexpr char TypeATarget[] = "Type a target CGPA, such as 3.50.";
constexpr char EnterATarget[] = "Enter a target CGPA from 1.00 to 4.00.";
constexpr char EnterCredits[] =
    "Enter each coming subject's credits (1 to 4), at most 12 subjects.";
constexpr int FieldSize = 64; // characters read from a field, its terminator included

std::string FieldText(HWND dialog, int id) {
    char text[FieldSize] = "";
    GetDlgItemTextA(dialog, id, text, FieldSize);
    return text;
}

// The answer to what the fields hold now, a sentence a line.
std::string Answer(HWND dialog) {
    const std::string target = FieldText(dialog, IDC_PLAN_TARGET);
    const std::optional<int> hundredths = ParseTarget(target);
    const std::optional<std::vector<int>> credits =
        ParseCredits(FieldText(dialog, IDC_PLAN_CREDITS));
    if (target.empty()) {
        return TypeATarget;
    }
    if (!hundredths) {
        return EnterATarget;
    }
    if (!credits) {
        return EnterCredits;
    }
    const int semester =
        static_cast<int>(SendDlgItemMessageA(dialog, IDC_PLAN_SEMESTER, CB_GETCURSEL, 0, 0));
    const PlanQuestion question{*hundredths, semester, *credits};
    std::string text;
    for (const std::string& line : AnswerSentences(question, PlanTarget(RecordTable, question))) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    return text;
}

void ShowAnswer(HWND dialog) {
    SetDlgItemTextA(dialog, IDC_PLAN_ANSWER, Answer(dialog).c_str());
}

INT_PTR OnInitDialog(HWND dialog) {
    const PlanStart start = StartOfPlan(RecordTable);
    SetDlgItemTextA(dialog, IDC_PLAN_NOW, NowSentence(start).c_str());
    for (int s = 0; s < SemesterCount; ++s) {
        SendDlgItemMessageA(dialog, IDC_PLAN_SEMESTER, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(SemesterLabel(s)));
    }
    SendDlgItemMessageA(dialog, IDC_PLAN_SEMESTER, CB_SETCURSEL,
                        static_cast<WPARAM>(start.Semester), 0);
    for (const int field : {IDC_PLAN_TARGET, IDC_PLAN_CREDITS}) { // all that is typed is read
        SendDlgItemMessageA(dialog, field, EM_LIMITTEXT, FieldSize - 1, 0);
    }
    std::string credits;
    for (const int c : start.Credits) {
        credits += credits.empty() ? "" : " ";
        credits += std::to_string(c);
    }
    SetDlgItemTextA(dialog, IDC_PLAN_CREDITS, credits.c_str());
    ShowAnswer(dialog);
    return TRUE; // the focus goes to the target, the first field that takes it
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    const int id = LOWORD(wParam);
    const int code = HIWORD(wParam);
    if (id == IDCANCEL) { // Close, Escape and the close box
        EndDialog(dialog, IDCANCEL);
    } else if ((code == EN_CHANGE && (id == IDC_PLAN_TARGET || id == IDC_PLAN_CREDITS)) ||
               (code == CBN_SELCHANGE && id == IDC_PLAN_SEMESTER)) {
        ShowAnswer(dialog);
    }
    return TRUE;
}

} // namespace

void OpenPlanDialog(HWND view) {
    NestedLoopScope nested;
    DialogBoxParamA(InstanceHandle, MAKEINTRESOURCEA(IDD_PLAN_TARGET), view, PlanDialogProc, 0);
}

INT_PTR CALLBACK PlanDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    default: return FALSE;
    }
}
