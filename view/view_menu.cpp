#include "view_menu.h"

#include <iterator>

#include "plan_dialog.h"
#include "spreadsheet_export.h"

namespace {

struct ViewItem {
    const char* Text;
    void (*Run)(HWND view);
};

constexpr ViewItem ViewItems[] = {
    {"&Plan a target CGPA...", OpenPlanDialog},
    {"&Export for a spreadsheet...", ExportForSpreadsheet},
};

} // namespace

void AppendViewItems(HMENU menu) {
    for (UINT item = 0; item < std::size(ViewItems); ++item) {
        AppendMenuA(menu, MF_STRING, FirstViewCommand + item, ViewItems[item].Text);
    }
}

bool RunViewCommand(HWND view, UINT command) {
    if (command < FirstViewCommand || command - FirstViewCommand >= std::size(ViewItems)) {
        return false;
    }
    ViewItems[command - FirstViewCommand].Run(view);
    return true;
}
