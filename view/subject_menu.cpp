#include "subject_menu.h"

#include <windowsx.h>

#include <algorithm>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app_state.h"
#include "encoding.h"
#include "grade_scale.h"
#include "result_file.h"
#include "result_rewrite.h"
#include "rename_dialog.h"
#include "results_view.h"
#include "screen_flow.h"
#include "subject_rows.h"
#include "summary.h"
#include "view_menu.h"

namespace {

// The items of one subject's menu, and its command ids: 1 + the subject's place in the menu
// times ItemsPerSubject + the item.
constexpr UINT RemoveItem = 0;
constexpr UINT RenameItem = 1;
constexpr UINT FirstGradeItem = 2;
constexpr UINT FirstCreditItem = FirstGradeItem + GradeCount;
constexpr UINT FirstSemesterItem = FirstCreditItem + CreditChoiceCount;
constexpr UINT ItemsPerSubject = FirstSemesterItem + SemesterCount;
static_assert(1 + RecordCapacity * ItemsPerSubject <= FirstViewCommand);

constexpr char QuestionCaption[] = "Gradewick";
constexpr char WarningCaption[] = "WARNING";
constexpr char NoName[] = "(no name)";

UINT CommandOf(std::size_t place, UINT item) {
    return 1 + static_cast<UINT>(place) * ItemsPerSubject + item;
}

// A text as a menu shows it: "&" stays "&", a tab does not start the shortcut column.
std::string MenuText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        out += c == '&' ? std::string("&&") : std::string(1, c == '\t' ? ' ' : c);
    }
    return out;
}

void AppendChoices(HMENU menu, UINT firstCommand, int count, int current, const char* (*text)(int),
                   const char* title) {
    HMENU choices = CreatePopupMenu();
    for (int value = 0; value < count; ++value) {
        AppendMenuA(choices, MF_STRING | (value == current ? MF_CHECKED : MF_UNCHECKED),
                    firstCommand + static_cast<UINT>(value), text(value));
    }
    AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(choices), title);
}

HMENU SubjectMenu(const SubjectRecord& record, std::size_t place) {
    HMENU menu = CreatePopupMenu();
    const std::string_view subject = WithoutLineFeed(record.Subject);
    const std::string remove =
        "&Remove \"" + (subject.empty() ? std::string(NoName) : MenuText(subject)) + "\"...";
    AppendMenuA(menu, MF_STRING, CommandOf(place, RemoveItem), remove.c_str());
    AppendMenuA(menu, MF_STRING, CommandOf(place, RenameItem), "Re&name...");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendChoices(menu, CommandOf(place, FirstGradeItem), GradeCount, record.GradeIndex,
                  GradeLetter, "&Grade");
    AppendChoices(menu, CommandOf(place, FirstCreditItem), CreditChoiceCount, record.CreditIndex,
                  CreditText, "&Credits");
    AppendChoices(menu, CommandOf(place, FirstSemesterItem), SemesterCount,
                  ClassifyRecord(record).value_or(-1), SemesterLabel, "&Semester");
    return menu;
}

// Every record of the semester that the view counts, in file order.
std::vector<int> SemesterRecords(int s) {
    std::vector<int> records;
    SemesterTotalsData scratch{};
    for (int first = 0;; first += SummarySlotCount) {
        const SummarySlots slots = SummarizeRecords(RecordTable, scratch, s, first);
        std::copy_if(slots.Records.begin(), slots.Records.end(), std::back_inserter(records),
                     [](int record) { return record >= 0; });
        if (first + SummarySlotCount >= slots.RowCount) {
            return records;
        }
    }
}

// "Physics	4 A-": a subject of the keyboard's menu.
std::string SubjectLine(const SubjectRecord& record) {
    const std::string_view subject = WithoutLineFeed(record.Subject);
    return (subject.empty() ? std::string(NoName) : MenuText(subject)) + '\t' +
           CreditText(record.CreditIndex) + ' ' + GradeLetter(record.GradeIndex);
}

bool AskToRemove(const SubjectRecord& record) {
    const std::optional<int> credits = CreditValue(record.CreditIndex);
    const std::string_view subject = WithoutLineFeed(record.Subject);
    const std::string text =
        "Remove \"" + (subject.empty() ? std::string(NoName) : Utf8FromCodePage(subject)) + "\" (" +
        SemesterLabel(ClassifyRecord(record).value_or(0)) + ", " +
        std::to_string(credits.value_or(0)) + (credits == 1 ? " credit" : " credits") + ", grade " +
        GradeLetter(record.GradeIndex) +
        ") from the result file?\n\nEvery other subject stays as it is.";
    return ShowMessage(text.c_str(), QuestionCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) ==
           IDYES;
}

// A box about a change that was not made; the file is named after the opening line.
void ReportUnchanged(const std::string& opening, const std::string& closing, UINT icon) {
    const std::string text = opening + "\n\n" + ResultFilePath + "\n\n" + closing;
    ShowMessage(text.c_str(), WarningCaption, MB_OK | icon);
}

// Carries out one item of a subject's menu, under the writers' lock, on the file only if it is
// still byte for byte the file that the view shows. A change of grade, credits or semester
// replaces only that field's text, a new name only the subject line's; every other byte stays.
void ChangeSubject(HWND view, int index, UINT item) {
    const SubjectRecord& record = RecordTable[static_cast<std::size_t>(index)];
    RecordChange change;
    change.Index = index;
    change.Remove = item == RemoveItem;
    bool same = false; // the value it has already: nothing to write
    if (item == RemoveItem) {
        if (!AskToRemove(record)) {
            return;
        }
    } else if (item == RenameItem) {
        const std::optional<std::string> name = AskNewName(view, record);
        if (!name) {
            return;
        }
        change.Field = RecordField::Subject;
        change.Text = *name;
        same = *name == WithoutLineFeed(record.Subject);
    } else if (const int grade = static_cast<int>(item - FirstGradeItem); item < FirstCreditItem) {
        change.Field = RecordField::GradeIndex;
        change.Text = std::to_string(grade);
        same = grade == record.GradeIndex;
    } else if (const int credit = static_cast<int>(item - FirstCreditItem);
               item < FirstSemesterItem) {
        change.Field = RecordField::CreditIndex;
        change.Text = std::to_string(credit);
        same = credit == record.CreditIndex;
    } else {
        const int s = static_cast<int>(item - FirstSemesterItem);
        change.Field = RecordField::Label;
        change.Text = SemesterLabel(s);
        same = s == ClassifyRecord(record);
    }
    if (same) {
        return;
    }
    const RewriteResult result = RewriteRecords(ResultFilePath, {&change, 1}, LoadedBytes());
    switch (result.Status) {
    case RewriteStatus::Done: ReloadResultsView(view); break;
    case RewriteStatus::NoSuchRecord:
    case RewriteStatus::ChangedSinceShown:
        ReportUnchanged("The result file has changed since it was shown:",
                        "Nothing was changed. The results now show the file as it is.",
                        MB_ICONWARNING);
        ReloadResultsView(view);
        break;
    case RewriteStatus::Gone:
        ReportUnchanged("The result file is no longer there:",
                        "Nothing was changed. The results now show no subjects.", MB_ICONWARNING);
        ReloadResultsView(view);
        break;
    case RewriteStatus::InUse:
        ReportUnchanged("The result file is in use by another window or program:",
                        "Nothing was changed. Wait until the other one is done, then try again.",
                        MB_ICONWARNING);
        break;
    default:
        ReportUnchanged("The result file could not be changed:",
                        result.Message + "\n\nThe file is left as it was.", MB_ICONERROR);
        break;
    }
}

} // namespace

void OpenSubjectMenu(HWND view, LPARAM lParam) {
    if (ScreenBoxOpen()) {
        return;
    }
    POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    std::vector<int> records;
    HMENU menu = nullptr;
    if (lParam == -1) { // the keyboard: every subject of the semester, at the rows
        records = SemesterRecords(CurrentSemester);
        menu = CreatePopupMenu();
        for (std::size_t place = 0; place < records.size(); ++place) {
            const SubjectRecord& record = RecordTable[static_cast<std::size_t>(records[place])];
            AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(SubjectMenu(record, place)),
                        SubjectLine(record).c_str());
        }
        if (!records.empty()) {
            AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        }
        AppendViewItems(menu);
        RECT rows{};
        GetWindowRect(GetDlgItem(view, SubjectCells[0]), &rows);
        at = {rows.left, rows.top};
    } else {
        const int record = RecordAtPoint(view, at);
        if (record >= 0) {
            records = {record};
            menu = SubjectMenu(RecordTable[static_cast<std::size_t>(record)], 0);
        } else if (SendMessageA(view, WM_NCHITTEST, 0, lParam) == HTCLIENT) {
            menu = CreatePopupMenu(); // the view's own, anywhere else in it
            AppendViewItems(menu);
        } else {
            return;
        }
    }
    UINT command = 0;
    {
        NestedLoopScope nested;
        command = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, view, nullptr));
    }
    DestroyMenu(menu);
    if (command == 0 || RunViewCommand(view, command)) {
        return;
    }
    const std::size_t place = (command - 1) / ItemsPerSubject;
    if (place < records.size()) {
        ChangeSubject(view, records[place], (command - 1) % ItemsPerSubject);
    }
}
