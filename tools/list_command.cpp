// list: every record the results view reads, numbered, one tab-separated line each.
#include "commands.h"

#include "summary.h"

namespace companion {

int List(const std::string& path, std::ostream& out, std::ostream& err) {
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    PrintWarnings(path, report, SummarizeRecords(0).PassedOver, err);
    std::string text;
    for (int i = 0; i < report.RecordsRead; ++i) {
        text += ListLine(i + 1, RecordTable[static_cast<std::size_t>(i)]);
    }
    out << text;
    return CliExitOk;
}

} // namespace companion
