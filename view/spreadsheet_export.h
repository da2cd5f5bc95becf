// "Export for a spreadsheet...", an item of the results view's own menu: the subjects the view
// counts, as CSV that Excel and LibreOffice read.
#pragma once

#include <windows.h>

// Asks for a name in the standard Save As dialog ("CSV for spreadsheets (*.csv)", starting at the
// result file's folder and name with ".csv"; it asks before an existing file is replaced), then
// writes the rows of "gradewick-cli export --format csv": UTF-8 after a byte order mark, CR LF
// line ends, through a new file that takes the old one's place. Says what it did, or what failed,
// leaving any file of that name as it was.
void ExportForSpreadsheet(HWND view);
