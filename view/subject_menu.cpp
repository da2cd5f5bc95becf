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
#include "results_view.h"
#include "screen_flow.h"
#include "subject_rows.h"
#include "summary.h"

namespace {

// The items of one subject's menu, and its command ids: 1 + the subject's place in the menu
// times ItemsPerSubject + the item.
constexpr UINT RemoveItem = 0;
constexpr UINT FirstGradeItem = 1;
constexpr UINT FirstCreditItem = FirstGradeItem + GradeCount;
constexpr UINT FirstSemesterItem = FirstCreditItem + CreditChoiceCount;
constexpr UINT ItemsPerSubject = FirstSemesterItem + SemesterCount;

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

void ReportFailedChange(const RewriteResult& result) {
    std::string text = std::string("The result file could not be changed:\n\n") + ResultFilePath +
                       "\n\n" + result.Message + "\n\nThe file is left as it was.";
    ShowMessage(text.c_str(), WarningCaption, MB_OK | MB_ICONERROR);
}

void ReportChangedFile() {
    const std::string text = std::string("The result file has changed since it was shown:\n\n") +
                             ResultFilePath +
                             "\n\nNothing was changed. The results now show the file as it is.";
    ShowMessage(text.c_str(), WarningCaption, MB_OK | MB_ICONWARNING);
}

// Carries out one item of a subject's menu on the file as it is on disk now.
void ChangeSubject(HWND view, int index, UINT item) {
    const SubjectRecord& record = RecordTable[static_cast<std::size_t>(index)];
    std::string label(WithoutLineFeed(record.Label));
    const std::string subject(WithoutLineFeed(record.Subject));
    int credit = record.CreditIndex;
    int grade = record.GradeIndex;
    if (item == RemoveItem) {
        if (!AskToRemove(record)) {
            return;
        }
    } else if (item < FirstCreditItem) {
        grade = static_cast<int>(item - FirstGradeItem);
    } else if (item < FirstSemesterItem) {
        credit = static_cast<int>(item - FirstCreditItem);
    } else if (const int s = static_cast<int>(item - FirstSemesterItem);
               s != ClassifyRecord(record)) {
        label = SemesterLabel(s);
    }
    if (item != RemoveItem && credit == record.CreditIndex && grade == record.GradeIndex &&
        label == WithoutLineFeed(record.Label)) {
        return; // the value it has already: nothing to write
    }
    RecordChange change{index, LoadedRecord(index), std::nullopt};
    if (item != RemoveItem) {
        change.Replacement = FormatRecord(label.c_str(), subject.c_str(), credit, grade);
    }
    const RewriteResult result = RewriteRecords(ResultFilePath, {&change, 1});
    switch (result.Status) {
    case RewriteStatus::Done: ReloadResultsView(view); break;
    case RewriteStatus::NoSuchRecord:
    case RewriteStatus::ChangedSinceSeen:
        ReportChangedFile();
        ReloadResultsView(view);
        break;
    default: ReportFailedChange(result); break;
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
        if (records.empty()) {
            return;
        }
        menu = CreatePopupMenu();
        for (std::size_t place = 0; place < records.size(); ++place) {
            const SubjectRecord& record = RecordTable[static_cast<std::size_t>(records[place])];
            AppendMenuA(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(SubjectMenu(record, place)),
                        SubjectLine(record).c_str());
        }
        RECT rows{};
        GetWindowRect(GetDlgItem(view, SubjectCells[0]), &rows);
        at = {rows.left, rows.top};
    } else {
        const int record = RecordAtPoint(view, at);
        if (record < 0) {
            return;
        }
        records = {record};
        menu = SubjectMenu(RecordTable[static_cast<std::size_t>(record)], 0);
    }
    UINT command = 0;
    {
        NestedLoopScope nested;
        command = static_cast<UINT>(
            TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, view, nullptr));
    }
    DestroyMenu(menu);
    if (command == 0) {
        return;
    }
    const std::size_t place = (command - 1) / ItemsPerSubject;
    if (place < records.size()) {
        ChangeSubject(view, records[place], (command - 1) % ItemsPerSubject);
    }
}
