#include "spreadsheet_export.h"

#include <commdlg.h>

#include <numeric>
#include <string>

#include "app_state.h"
#include "encoding.h"
#include "result_rewrite.h"
#include "results_export.h"
#include "screen_flow.h"

namespace {

// One pair (description, pattern), ended by an extra empty string.
constexpr wchar_t CsvFilter[] = L"CSV for spreadsheets (*.csv)\0*.csv\0";
constexpr wchar_t CsvExtension[] = L"csv";
constexpr char ResultExtension[] = ".rst";
constexpr char Caption[] = "Gradewick";
constexpr char WarningCaption[] = "WARNING";
constexpr char NameTooLong[] =
    "The file name is too long: with its folder, it may have at most 259 characters.";

// The result file's name with ".csv" in place of ".rst" (or after it, for another ending).
std::wstring SuggestedName() {
    std::string name = ResultFilePath;
    if (name.ends_with(ResultExtension)) {
        name.resize(name.size() - (sizeof ResultExtension - 1));
    }
    return Utf16FromUtf8(name + ".csv");
}

// The name chosen in Save As, in UTF-8; empty when the dialog was left.
std::string ChosenName(HWND view) {
    wchar_t name[MAX_PATH] = L"";
    lstrcpynW(name, SuggestedName().c_str(), MAX_PATH);
    OPENFILENAMEW dialog{};
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = view;
    dialog.lpstrFilter = CsvFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = name;
    dialog.nMaxFile = MAX_PATH;
    dialog.lpstrDefExt = CsvExtension;
    dialog.Flags = OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR;
    BOOL chosen = FALSE;
    {
        NestedLoopScope nested;
        chosen = GetSaveFileNameW(&dialog);
    }
    if (chosen == FALSE) {
        if (const DWORD code = CommDlgExtendedError(); code != 0) { // 0: the user cancelled
            const std::string text =
                code == FNERR_BUFFERTOOSMALL
                    ? std::string(NameTooLong)
                    : "GetSaveFileName returned Error #" + std::to_string(code);
            ShowMessage(text.c_str(), WarningCaption, MB_ICONERROR);
        }
        return {};
    }
    return Utf8FromUtf16(name);
}

} // namespace

void ExportForSpreadsheet(HWND view) {
    const std::string path = ChosenName(view);
    if (path.empty()) {
        return;
    }
    int passedOver = 0;
    const ExportData data = CollectExportData(RecordTable, passedOver);
    const RewriteResult written = ReplaceFileContents(
        path, std::nullopt, FormatCsv(data, SystemCodePage(), true), Replacing::Export);
    if (written.Status != RewriteStatus::Done) {
        const std::string text = "The subjects could not be exported:\n\n" + path + "\n\n" +
                                 written.Message + "\n\nAny file of that name is left as it was.";
        ShowMessage(text.c_str(), WarningCaption, MB_ICONERROR);
        return;
    }
    const std::size_t subjects =
        std::accumulate(data.Semesters.begin(), data.Semesters.end(), std::size_t{0},
                        [](std::size_t sum, const ExportSemester& semester) {
                            return sum + semester.Subjects.size();
                        });
    const std::string text = "Exported " + std::to_string(subjects) +
                             (subjects == 1 ? " subject to " : " subjects to ") + path + ".";
    ShowMessage(text.c_str(), Caption, MB_ICONINFORMATION);
}
