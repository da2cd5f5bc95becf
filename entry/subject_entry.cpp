// Subject entry screen: the user names a subject, picks its credits and grade, and Insert
// appends one record to the result file. View CGPA hands over to the results view; Exit,
// Escape and the close box end the program.
#include <array>
#include <cstddef>
#include <iterator>
#include <optional>
#include <string>

#include "app_state.h"
#include "encoding.h"
#include "grade_scale.h"
#include "label_font.h"
#include "resource.h"
#include "result_file.h"
#include "screen_flow.h"
#include "screen_pictures.h"
#include "subject_record.h"
#include "typed_subject.h"

namespace {

// The decorated labels, in the order their fonts are made, with the text each then shows.
constexpr std::array<LabelStyle, 6> LabelStyles = {{
    {IDC_ENTRY_SEMESTER, "Arial", 20, "Semester 1"},
    {IDC_ENTRY_SUBJECT_LABEL, "Tahoma", 12, "&Subject"},
    {IDC_ENTRY_GRADE_LABEL, "Tahoma", 12, "&Grade"},
    {IDC_ENTRY_CREDIT_LABEL, "Tahoma", 12, "&Credit"},
    {IDC_ENTRY_VIEW_CGPA_LABEL, "Tahoma", 10, "&View CGPA"},
    {IDC_ENTRY_GRADE_POINT, "Arial", 12, "4.0"},
}};

constexpr std::array<LabelColour, 6> LabelColours = {{
    {IDC_ENTRY_SEMESTER, 0xFF0000},        // blue
    {IDC_ENTRY_GRADE_POINT, 0xFF},         // red
    {IDC_ENTRY_CREDIT_LABEL, 0x2800},      // dark green
    {IDC_ENTRY_SUBJECT_LABEL, 0x2800},     // dark green
    {IDC_ENTRY_GRADE_LABEL, 0x2800},       // dark green
    {IDC_ENTRY_VIEW_CGPA_LABEL, 0xFF0050}, // blue with a touch of red
}};

void ShowGradePoint(HWND window) {
    const auto selection =
        static_cast<int>(SendDlgItemMessageA(window, IDC_ENTRY_GRADE, CB_GETCURSEL, 0, 0));
    if (const char* points = GradePointText(selection)) {
        SetDlgItemTextA(window, IDC_ENTRY_GRADE_POINT, points);
    }
}

// Why an Insert saved nothing, said in a box that names the file.
void ReportRefusedInsert(const AppendResult& result) {
    std::string opening = "The subject could not be saved in the result file:";
    std::string advice;
    UINT icon = MB_ICONERROR;
    switch (result.Status) {
    case AppendStatus::Full:
        opening = "The result file is full:";
        advice = "It holds 100 subjects, and Gradewick counts only the first 100. The subject was "
                 "not saved. To make room, open your results and remove a subject there with a "
                 "right-click on it.";
        icon = MB_ICONWARNING;
        break;
    case AppendStatus::InUse:
        opening = "The result file is in use by another window or program:";
        advice = "The subject was not saved. Wait until the other one is done (a second "
                 "Gradewick on the same file, perhaps), then press Insert again.";
        icon = MB_ICONWARNING;
        break;
    case AppendStatus::ReadOnly:
        opening = "The result file is read-only:";
        advice = "The subject was not saved. Clear the file's read-only attribute, then press "
                 "Insert again.";
        break;
    case AppendStatus::NotRegular:
        opening = "The result file is not a regular file:";
        advice = "It is a folder, a pipe or a device, which holds no subjects. The subject was not "
                 "saved.";
        break;
    case AppendStatus::Damaged:
        advice = result.Reason +
                 ".\n\nThe file could not be put back as it was: it may now end with part of "
                 "this subject, which your results leave out with a warning. The command-line "
                 "companion shows it (gradewick-cli list) and takes it out (gradewick-cli "
                 "remove).";
        break;
    default:
        advice = result.Reason +
                 ".\n\nNothing was written: the file is as it was. Check that the disk is not "
                 "full and that the file is not in use, then press Insert again.";
        break;
    }
    const std::string text = opening + "\n\n" + ResultFilePath + "\n\n" + advice;
    ShowMessage(text.c_str(), "WARNING", MB_OK | icon);
}

// Appends one record. A subject or write that is refused changes nothing on the screen: the
// subject stays in its field, Insert stays enabled for another try, and the next attempt
// still starts a new file afresh.
void InsertSubject(HWND window) {
    char label[LabelSize] = "";
    GetDlgItemTextA(window, IDC_ENTRY_SEMESTER, label, static_cast<int>(std::size(label)));
    const auto creditIndex =
        static_cast<int>(SendDlgItemMessageA(window, IDC_ENTRY_CREDITS, CB_GETCURSEL, 0, 0));
    const auto gradeIndex =
        static_cast<int>(SendDlgItemMessageA(window, IDC_ENTRY_GRADE, CB_GETCURSEL, 0, 0));

    const std::optional<std::string> subject =
        StoredSubject(TypedSubject(window, IDC_ENTRY_SUBJECT).c_str(), window,
                      "The subject was not saved.", "press Insert again");
    if (!subject) {
        return;
    }
    const AppendResult result = AppendRecord(ResultFilePath, IsNewFile == 1, label,
                                             subject->c_str(), creditIndex, gradeIndex);
    if (result.Status != AppendStatus::Done) {
        ReportRefusedInsert(result);
        return;
    }
    EnableWindow(GetDlgItem(window, IDC_ENTRY_VIEW_CGPA), TRUE);
    SetDlgItemTextA(window, IDC_ENTRY_SUBJECT, ""); // its EN_CHANGE enables Insert again
    SetFocus(GetDlgItem(window, IDC_ENTRY_SUBJECT));
    IsNewFile = 0;
    EnableWindow(GetDlgItem(window, IDC_ENTRY_INSERT), FALSE);
}

// Enter presses Insert while the subject field holds text, so that a typed subject is stored or
// refused with a reason, never left behind; with the field empty (as after each Insert) Enter
// presses View CGPA.
void ChooseDefaultButton(HWND window) {
    const bool typed = GetWindowTextLengthA(GetDlgItem(window, IDC_ENTRY_SUBJECT)) > 0;
    SendMessageA(window, DM_SETDEFID, typed ? IDC_ENTRY_INSERT : IDC_ENTRY_VIEW_CGPA, 0);
}

INT_PTR OnInitDialog(HWND window) {
    ScreenOpened(window);
    FitScreenPictures(window, ScaleOf(window));
    MakeLabelFonts(window, LabelStyles);

    for (int credit = 0; credit < CreditChoiceCount; ++credit) {
        SendDlgItemMessageA(window, IDC_ENTRY_CREDITS, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(CreditText(credit)));
    }
    for (int grade = 0; grade < GradeCount; ++grade) {
        SendDlgItemMessageA(window, IDC_ENTRY_GRADE, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(GradeLetter(grade)));
    }
    SendDlgItemMessageA(window, IDC_ENTRY_CREDITS, CB_SETCURSEL, 0, 0);
    SendDlgItemMessageA(window, IDC_ENTRY_GRADE, CB_SETCURSEL, 0, 0);

    // A semester outside 0..7 keeps the caption "Semester 1".
    if (const char* caption = SemesterLabel(CurrentSemester)) {
        SetDlgItemTextA(window, IDC_ENTRY_SEMESTER, caption);
    }
    if (IsNewFile == 1) {
        EnableWindow(GetDlgItem(window, IDC_ENTRY_VIEW_CGPA), FALSE); // nothing to view yet
    }
    // What the user types is what gets written: no more than a record's subject holds.
    SendDlgItemMessageA(window, IDC_ENTRY_SUBJECT, EM_LIMITTEXT, SubjectSize - 1, 0);
    return FALSE; // the dialog manager places the focus
}

void OnCommand(HWND window, WPARAM wParam) {
    // Only the subject field sends EN_CHANGE; any change, even one that empties it, counts.
    if (HIWORD(wParam) == EN_CHANGE) {
        EnableWindow(GetDlgItem(window, IDC_ENTRY_INSERT), TRUE);
        ChooseDefaultButton(window);
    }
    if (IsClickUnderBox(wParam)) {
        return; // an Insert pressed again under its own warning would stack another
    }
    switch (LOWORD(wParam)) {
    case IDC_ENTRY_INSERT: InsertSubject(window); break;
    case IDC_ENTRY_GRADE: ShowGradePoint(window); break; // every notification of the list
    case IDC_ENTRY_VIEW_CGPA:
        ReleaseLabelFonts(window);
        ChangeScreen(window, IDD_RESULTS_VIEW);
        break;
    case IDC_ABOUT_BUTTON:
        OpenAboutScreen();
        SetFocus(GetDlgItem(window, IDC_ENTRY_SUBJECT));
        break;
    case IDC_EXIT_BUTTON:
    case IDCANCEL:
        ReleaseLabelFonts(window);
        PostQuitMessage(0);
        break;
    default: break;
    }
}

} // namespace

extern "C" INT_PTR CALLBACK DialogFunc2(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: OnCommand(window, wParam); return FALSE;
    case WM_CTLCOLORSTATIC:
        return PaintLabel(reinterpret_cast<HDC>(wParam),  // NOLINT(performance-no-int-to-ptr)
                          reinterpret_cast<HWND>(lParam), // NOLINT(performance-no-int-to-ptr)
                          LabelColours);
    case WM_CTLCOLORDLG: return LabelBackgroundBrush();
    case WM_DESTROY: // however the screen ends
        ScreenClosed(window);
        ReleaseScreenPictures(window);
        ReleaseLabelFonts(window);
        return FALSE;
    default: return FALSE;
    }
}
