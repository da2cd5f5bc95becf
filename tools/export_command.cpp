// export: the whole file as CSV or JSON, to standard output or through a new file.
#include "commands.h"

#include <optional>

#include "file_system.h"
#include "result_rewrite.h"
#include "summary.h"

namespace companion {

namespace {

// Whether both paths name one file, however they are spelled (links and hard links too).
bool SameFile(const std::string& a, const std::string& b) {
    const std::optional<FileFacts> first = LookAtFile(a);
    const std::optional<FileFacts> second = LookAtFile(b);
    return first && second && first->Volume == second->Volume && first->Index == second->Index;
}

} // namespace

int Export(const std::string& path, const std::string& format, const std::string& output,
           std::ostream& out, std::ostream& err) {
    if (!output.empty() && SameFile(path, output)) {
        err << "gradewick-cli: the output '" << output << "' is the result file '" << path
            << "' itself; nothing written\n";
        return CliExitUsage;
    }
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    int passedOver = 0;
    const ExportData data = CollectResults(passedOver);
    PrintWarnings(path, report, passedOver, err);
    const std::string text = format == "csv" ? FormatCsv(data) : FormatJson(data);
    if (output.empty()) {
        out << text;
        return CliExitOk;
    }
    const RewriteResult written =
        ReplaceFileContents(output, std::nullopt, text, Replacing::Export);
    if (written.Status != RewriteStatus::Done) {
        err << "gradewick-cli: cannot write '" << output << "': " << written.Message << '\n';
        return CliExitFileError;
    }
    return CliExitOk;
}

} // namespace companion
