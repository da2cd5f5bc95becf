#include "results_view.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string>

#include "app_state.h"
#include "label_font.h"
#include "resource.h"
#include "result_file.h"
#include "result_rewrite.h"
#include "screen_flow.h"
#include "subject_menu.h"
#include "subject_rows.h"
#include "summary.h"
#include "tab_animation.h"
#include "tab_strip.h"

const char CannotOpenWarning[] =
    "The result file could not be opened:\n\n%s\n\nNo subjects are shown. Check that the file "
    "still exists and is not in use, then open it again.";
const char MoreThanCapacityWarning[] =
    "The result file holds more than 100 subjects. Only the first 100 subjects are shown and "
    "counted.";
const char ReadErrorWarning[] =
    "The result file could not be read to its end. Only the subjects read before the error are "
    "shown and counted.";
const char PassedOverOneWarning[] =
    "1 subject in the result file has a credit or grade that is not valid. It is not shown and "
    "not counted.";
const char PassedOverManyWarning[] =
    "%d subjects in the result file have a credit or grade that is not valid. They are not "
    "shown and not counted.";
const char NoSemesterOneWarning[] =
    "1 entry in the result file belongs to no semester: its label holds none of \"Semester 1\" "
    "to \"Semester 8\". It is not shown and not counted.";
const char NoSemesterManyWarning[] =
    "%d entries in the result file belong to no semester: their labels hold none of \"Semester "
    "1\" to \"Semester 8\". They are not shown and not counted.";
const char NotAResultFileWarning[] =
    "This file may not be a Gradewick result file:\n\n%s\n\nNothing in it belongs to a "
    "semester, so nothing is shown or counted. Subjects added from here go at its end.";

namespace {

constexpr char WarningCaption[] = "WARNING";
constexpr char ErrorOpeningFile[] = "Error opening file.\n";

// The decorated labels, in the order their fonts are made.
constexpr char Arial[] = "Arial";
constexpr char Tahoma[] = "Tahoma";
constexpr int RowPoints = 8;

constexpr std::array<LabelStyle, ResultsViewFontCount> LabelStyles = {{
    {IDC_VIEW_SEMESTER_LABEL, Arial, 12, "Semester"},
    {IDC_VIEW_SUBJECT_HEADING, Tahoma, 10, "&Subject"},
    {IDC_VIEW_GRADE_HEADING, Tahoma, 10, "&Grade"},
    {IDC_VIEW_CREDIT_HEADING, Tahoma, 10, "&Credit"},
    {IDC_VIEW_ADD_SUBJECT_LABEL, Tahoma, 10, "&Add Subject"},
    {IDC_VIEW_GPA_LABEL, Arial, 10, "&GPA"},
    {IDC_VIEW_CGPA_LABEL, Arial, 10, "&CGPA"},
    {SubjectCells[0], Tahoma, RowPoints, nullptr},
    {SubjectCells[1], Tahoma, RowPoints, nullptr},
    {SubjectCells[2], Tahoma, RowPoints, nullptr},
    {SubjectCells[3], Tahoma, RowPoints, nullptr},
    {SubjectCells[4], Tahoma, RowPoints, nullptr},
    {SubjectCells[5], Tahoma, RowPoints, nullptr},
    {SubjectCells[6], Tahoma, RowPoints, nullptr},
    {CreditCells[0], Tahoma, RowPoints, nullptr},
    {CreditCells[1], Tahoma, RowPoints, nullptr},
    {CreditCells[2], Tahoma, RowPoints, nullptr},
    {CreditCells[3], Tahoma, RowPoints, nullptr},
    {CreditCells[4], Tahoma, RowPoints, nullptr},
    {CreditCells[5], Tahoma, RowPoints, nullptr},
    {CreditCells[6], Tahoma, RowPoints, nullptr},
    {GradeCells[0], Tahoma, RowPoints, nullptr},
    {GradeCells[1], Tahoma, RowPoints, nullptr},
    {GradeCells[2], Tahoma, RowPoints, nullptr},
    {GradeCells[3], Tahoma, RowPoints, nullptr},
    {GradeCells[4], Tahoma, RowPoints, nullptr},
    {GradeCells[5], Tahoma, RowPoints, nullptr},
    {GradeCells[6], Tahoma, RowPoints, nullptr},
    {IDC_VIEW_CGPA, Arial, 10, nullptr},
    {IDC_VIEW_GPA, Arial, 10, nullptr},
}};

// Text colours of the labels that have their own.
constexpr std::array<LabelColour, 7> LabelColours = {{
    {IDC_VIEW_CREDIT_HEADING, 0x285000},
    {IDC_VIEW_SUBJECT_HEADING, 0x285000},
    {IDC_VIEW_GRADE_HEADING, 0x285000},
    {IDC_VIEW_SEMESTER_LABEL, 0xFF5000},
    {IDC_VIEW_GPA_LABEL, 0xFF0050},
    {IDC_VIEW_CGPA_LABEL, 0xFF0050},
    {IDC_VIEW_ADD_SUBJECT_LABEL, 0x5000FF},
}};

constexpr int SemesterListItems = 8;
constexpr std::array<const char*, SemesterListItems> SemesterListTexts = {"1", "2", "3", "4",
                                                                          "5", "6", "7", "8"};

// What the last load left out, to be told once the view is on screen.
struct LoadWarnings {
    bool CannotOpen = false;
    bool MoreThanCapacity = false;
    bool ReadError = false;
    int PassedOver = 0;
    int NoSemester = 0;          // entries read that belong to no semester
    bool NoneInSemester = false; // the file holds entries, and none belongs to a semester
};
LoadWarnings pendingWarnings;

// The file as the view loaded it.
LoadedFile loaded;

void ShowControl(HWND window, int id, bool visible) {
    ShowWindow(GetDlgItem(window, id), visible ? SW_SHOWNORMAL : SW_HIDE);
}

void FillSemesterList(HWND window) {
    for (const char* text : SemesterListTexts) {
        SendDlgItemMessageA(window, IDC_VIEW_SEMESTER_LIST, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(text));
    }
    SendDlgItemMessageA(window, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL,
                        static_cast<WPARAM>(CurrentSemester), 0);
}

// Loads the result file and notes what it left out. The summary runs on a scratch copy of the
// totals, so nothing on screen or in the program's totals changes before the first refresh.
void LoadResults() {
    loaded = LoadResultFile(ResultFilePath, RecordTable);
    const LoadReport& report = loaded.Report;
    pendingWarnings = {};
    if (!report.Opened) {
        // Nothing else can be told when standard output itself fails.
        static_cast<void>(std::fputs(ErrorOpeningFile, stdout));
        static_cast<void>(std::fflush(stdout));
        pendingWarnings.CannotOpen = true;
        return;
    }
    SemesterTotalsData scratch{};
    pendingWarnings.MoreThanCapacity = report.MoreThanCapacity;
    pendingWarnings.ReadError = report.ReadError;
    pendingWarnings.PassedOver = SummarizeRecords(RecordTable, scratch, 0).PassedOver;
    const auto read = RecordTable.begin() + report.RecordsRead;
    pendingWarnings.NoSemester = static_cast<int>(std::count_if(
        RecordTable.begin(), read, [](const SubjectRecord& r) { return !ClassifyRecord(r); }));
    pendingWarnings.NoneInSemester =
        report.RecordsRead > 0 && pendingWarnings.NoSemester == report.RecordsRead;
}

// A warning whose text is a printf format taking one value.
template <typename Value> void ShowFormattedWarning(const char* format, Value value) {
    std::string text(std::strlen(format) + ResultFilePathSize + 16, '\0');
    text.resize(static_cast<std::size_t>(std::snprintf(text.data(), text.size(), format, value)));
    ShowMessage(text.c_str(), WarningCaption, MB_ICONWARNING);
}

void ShowVerdict(HWND window, GpaVerdict verdict) {
    switch (verdict) {
    case GpaVerdict::Good:
        ShowControl(window, IDC_VIEW_GOOD, true);
        ShowControl(window, IDC_VIEW_BAD, false);
        ShowControl(window, IDC_VIEW_NORMAL, false);
        break;
    case GpaVerdict::Bad:
        ShowControl(window, IDC_VIEW_BAD, true);
        ShowControl(window, IDC_VIEW_GOOD, false);
        ShowControl(window, IDC_VIEW_NORMAL, false);
        break;
    case GpaVerdict::NoCredits:
        ShowControl(window, IDC_VIEW_BAD, false);
        ShowControl(window, IDC_VIEW_GOOD, false);
        ShowControl(window, IDC_VIEW_NORMAL, true);
        break;
    }
}

void ShowWarnings() {
    const LoadWarnings warnings = pendingWarnings;
    pendingWarnings = {};
    if (warnings.CannotOpen) {
        ShowFormattedWarning(CannotOpenWarning, ResultFilePath);
    }
    if (warnings.MoreThanCapacity) {
        ShowMessage(MoreThanCapacityWarning, WarningCaption, MB_ICONWARNING);
    }
    if (warnings.ReadError) {
        ShowMessage(ReadErrorWarning, WarningCaption, MB_ICONWARNING);
    }
    if (warnings.PassedOver == 1) {
        ShowMessage(PassedOverOneWarning, WarningCaption, MB_ICONWARNING);
    } else if (warnings.PassedOver > 1) {
        ShowFormattedWarning(PassedOverManyWarning, warnings.PassedOver);
    }
    if (warnings.NoneInSemester) {
        ShowFormattedWarning(NotAResultFileWarning, ResultFilePath);
    } else if (warnings.NoSemester == 1) {
        ShowMessage(NoSemesterOneWarning, WarningCaption, MB_ICONWARNING);
    } else if (warnings.NoSemester > 1) {
        ShowFormattedWarning(NoSemesterManyWarning, warnings.NoSemester);
    }
}

// The view's modal loop hands every message to the thread's message filter before the dialog
// manager sees it. The menu key and Shift+F10, and the wheel over the view, reach the view there
// whatever control has the focus: the semester list, which has it first, would keep them.
HHOOK viewKeys = nullptr;

bool IsMenuKey(const MSG& message) {
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    return (down || up) &&
           (message.wParam == VK_APPS || (message.wParam == VK_F10 && GetKeyState(VK_SHIFT) < 0));
}

LRESULT CALLBACK ViewMessageFilter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* message = reinterpret_cast<const MSG*>(lParam); // NOLINT(performance-no-int-to-ptr)
    HWND view = ResultsViewWindow;
    if (code != MSGF_DIALOGBOX || view == nullptr || message == nullptr ||
        (message->hwnd != view && IsChild(view, message->hwnd) == FALSE)) {
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    if (IsMenuKey(*message)) { // the menu opens once, on the key's way down
        if (message->message == WM_KEYDOWN || message->message == WM_SYSKEYDOWN) {
            SendMessageA(view, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(view), -1);
        }
        return TRUE;
    }
    RECT list{}; // the wheel over the semester list is the list's
    GetWindowRect(GetDlgItem(view, IDC_VIEW_SEMESTER_LIST), &list);
    if (message->message == WM_MOUSEWHEEL && message->hwnd != view &&
        PtInRect(&list, message->pt) == FALSE) {
        SendMessageA(view, WM_MOUSEWHEEL, message->wParam, message->lParam);
        return TRUE;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void StopViewKeys() {
    if (viewKeys != nullptr) {
        UnhookWindowsHookEx(viewKeys);
        viewKeys = nullptr;
    }
}

INT_PTR OnInitDialog(HWND window) {
    ScreenOpened(window);
    FitScreenPictures(window, ScaleOf(window));
    StopViewKeys();
    viewKeys = SetWindowsHookExA(WH_MSGFILTER, ViewMessageFilter, nullptr, GetCurrentThreadId());
    MakeLabelFonts(window, LabelStyles);
    FillSemesterList(window);
    LoadResults();
    ResetRows(window);
    AnimationTicks = 0;
    ViewTimerId = SetTimer(nullptr, 1, TabAnimationMilliseconds, TabAnimationTimerProc);
    ShowStartArrangement(window);
    PostMessageA(window, WM_RESULTS_VIEW_WARNINGS, 0, 0);
    return FALSE;
}

int SemesterListSelection(HWND window) {
    return static_cast<int>(
        SendDlgItemMessageA(window, IDC_VIEW_SEMESTER_LIST, CB_GETCURSEL, 0, 0));
}

void OnAddSubject(HWND window) {
    StopViewKeys();
    CurrentSemester = SemesterListSelection(window);
    AnimationStep = 0;
    AnimationPhase = PhaseRunRight;
    KillTimer(nullptr, ViewTimerId);
    ReleaseLabelFonts(window);
    if (ResultsViewWindow == window) {
        ResultsViewWindow = nullptr;
    }
    ChangeScreen(window, IDD_SUBJECT_ENTRY);
}

INT_PTR OnCommand(HWND window, WPARAM wParam) {
    if (HIWORD(wParam) == CBN_SELENDOK) {
        CurrentSemester = SemesterListSelection(window);
        RefreshResultsView(window);
    }
    if (IsClickUnderBox(wParam)) {
        return FALSE;
    }
    switch (LOWORD(wParam)) {
    case IDCANCEL:
    case IDC_EXIT_BUTTON:
        ReleaseLabelFonts(window);
        PostQuitMessage(0);
        break;
    case IDC_VIEW_ADD_SUBJECT: OnAddSubject(window); break;
    case IDC_ABOUT_BUTTON: OpenAboutScreen(); break;
    default: break;
    }
    return FALSE;
}

// Pointer positions are the low and high 16 bits of the long parameter, read unsigned.
int PointerX(LPARAM lParam) {
    return static_cast<int>(LOWORD(lParam));
}
int PointerY(LPARAM lParam) {
    return static_cast<int>(HIWORD(lParam));
}

// A press on a tab chooses its semester; every press that reaches the screen refreshes it.
void OnLButtonDown(HWND window, LPARAM lParam) {
    const int tab = HitTab(PointerX(lParam), PointerY(lParam), CurrentSemester, ScaleOf(window));
    if (tab != 0) {
        SendDlgItemMessageA(window, IDC_VIEW_SEMESTER_LIST, CB_SETCURSEL,
                            static_cast<WPARAM>(tab - 1), 0);
        CurrentSemester = tab - 1;
    }
    RefreshResultsView(window);
}

} // namespace

const std::string& LoadedBytes() {
    return loaded.Bytes;
}

void ReloadResultsView(HWND window) {
    LoadResults();
    pendingWarnings = {}; // told once, when the view opened
    RefreshResultsView(window);
}

void RefreshResultsView(HWND window) {
    const int s = CurrentSemester;
    SetDlgItemTextA(window, IDC_VIEW_CGPA, "");
    SetDlgItemTextA(window, IDC_VIEW_GPA, "");
    ShowRows(window, s);

    std::string gpa;
    if (s >= 0 && s < TAB_COUNT) {
        const GpaResult result = SemesterGpa(s);
        gpa = result.Text;
        ShowVerdict(window, result.Verdict);
        ShowRestingArrangement(window, s);
    }
    SetDlgItemTextA(window, IDC_VIEW_GPA, gpa.c_str());
    SetDlgItemTextA(window, IDC_VIEW_CGPA, ComputeCumulative().c_str());
}

extern "C" INT_PTR CALLBACK DialogFunc3(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ResultsViewWindow = window;
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(window);
    case WM_COMMAND: return OnCommand(window, wParam);
    case WM_CTLCOLORSTATIC:
        // NOLINTNEXTLINE(performance-no-int-to-ptr): handles and pointers travel as integers
        return PaintLabel(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                          LabelColours);
    case WM_CTLCOLORDLG: return LabelBackgroundBrush();
    case WM_MOUSEMOVE:
        ShowPointerOverTabs(window, PointerX(lParam), PointerY(lParam));
        return FALSE;
    case WM_LBUTTONDOWN: OnLButtonDown(window, lParam); return FALSE;
    case WM_VSCROLL: OnRowsScroll(window, LOWORD(wParam)); return FALSE;
    case WM_CONTEXTMENU: OpenSubjectMenu(window, lParam); return TRUE;
    case WM_MOUSEWHEEL: OnRowsWheel(window, GET_WHEEL_DELTA_WPARAM(wParam)); return TRUE;
    case WM_RESULTS_VIEW_WARNINGS: ShowWarnings(); return FALSE;
    case WM_DESTROY: // however the screen ends
        if (ResultsViewWindow == window) {
            StopViewKeys();
        }
        ScreenClosed(window);
        ReleaseScreenPictures(window);
        ReleaseLabelFonts(window);
        return FALSE;
    default: return FALSE;
    }
}
