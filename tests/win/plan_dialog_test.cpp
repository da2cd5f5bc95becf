// The dialog "Plan a target CGPA" from its real template: what it shows first, and its answer as
// the fields change (the arithmetic itself is the core's, tested against a model there).
#include "harness.h"
#include "plan_dialog.h"
#include "result_file.h"

namespace {

TEST(PlanDialog, ShowsTheDefaultsAndAnswersAsTheFieldsChange) {
    const std::string none;
    const std::string one = Record(3, "Art", 0, 9); // 1 credit of D in semester 3
    const char* empty = "No subject is counted yet.|Semester 1|3 3 3 3 3";
    const struct {
        std::string File;
        const char* Shown; // the first line, the semester and the credits
        const char* Credits;
        const char* Target;
        int Semester; // -1: as shown
        const char* Answer;
    } cases[] = {
        {none, empty, nullptr, "", -1, "Type a target CGPA, such as 3.50."},
        {none, empty, nullptr, "4.5", -1, "Enter a target CGPA from 1.00 to 4.00."},
        {none, empty, "3 5", "3", -1,
         "Enter each coming subject's credits (1 to 4), at most 12 subjects."},
        {one, "CGPA now: 1.00 over 1 credit.|Semester 4|1", nullptr, "3.9", -1,
         "Not reachable in Semester 4: A in every subject gives a CGPA of 2.50."},
        {one, "CGPA now: 1.00 over 1 credit.|Semester 4|1", "2", "3.9", 7,
         "Not reachable in Semester 8: A in every subject gives a CGPA of 3.00."},
        {none, empty, "1, 4", "3.2", -1,
         "B+ or better in every subject gives a CGPA of 3.30.\r\nOr: B+ in subject 2 and B in "
         "the other gives 3.24.\r\nThat is an average of 3.20 grade points over 5 credits."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.Answer);
        LoadRecordBytes(c.File, RecordTable);
        HWND dialog = CreateScreen(IDD_PLAN_TARGET, PlanDialogProc);
        EXPECT_EQ(ControlText(dialog, IDC_PLAN_NOW) + "|" + ControlText(dialog, IDC_PLAN_SEMESTER) +
                      "|" + ControlText(dialog, IDC_PLAN_CREDITS),
                  c.Shown);
        if (c.Credits != nullptr) {
            SetDlgItemTextA(dialog, IDC_PLAN_CREDITS, c.Credits);
        }
        SetDlgItemTextA(dialog, IDC_PLAN_TARGET, c.Target);
        if (c.Semester >= 0) {
            SendDlgItemMessageA(dialog, IDC_PLAN_SEMESTER, CB_SETCURSEL, c.Semester, 0);
            SendCommand(dialog, IDC_PLAN_SEMESTER, CBN_SELCHANGE);
        }
        EXPECT_EQ(ControlText(dialog, IDC_PLAN_ANSWER), c.Answer);
        DestroyWindow(dialog);
    }
}

} // namespace
