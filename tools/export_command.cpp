// export: the whole file as CSV or JSON, to standard output, into a FIFO or device, or through
// a new file.
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

int Export(const std::string& path, const ExportOptions& options, std::ostream& out,
           std::ostream& err) {
    const std::string& output = options.Output;
    if (!output.empty() && SameFile(path, output)) {
        err << "gradewick-cli: the output '" << output << "' is the result file '" << path
            << "' itself; nothing written\n";
        return CliExitUsage;
    }
    // A regular file (or none yet) is replaced whole; a FIFO or device is written into.
    const FileKind kind = output.empty() ? FileKind::Missing : KindOfFile(output);
    if (kind == FileKind::Folder || kind == FileKind::Other) {
        err << "gradewick-cli: the output '" << output
            << (kind == FileKind::Folder
                    ? "' is a folder"
                    : "' is neither a regular file nor a FIFO or character device")
            << "; nothing written\n";
        return CliExitFileError;
    }
    LoadReport report;
    if (!LoadOrComplain(path, report, err)) {
        return CliExitFileError;
    }
    int passedOver = 0;
    const ExportData data = CollectExportData(RecordTable, passedOver);
    PrintWarnings(path, report, passedOver, err);
    const std::string text = options.Format == "csv"
                                 ? FormatCsv(data, options.CodePage, options.ByteOrderMark)
                                 : FormatJson(data, options.CodePage);
    if (output.empty()) {
        out << text;
        return CliExitOk;
    }
    if (kind == FileKind::Stream) {
        const std::string reason = WriteIntoStream(output, text);
        if (!reason.empty()) {
            err << "gradewick-cli: cannot write into '" << output << "': " << reason << '\n';
            return CliExitFileError;
        }
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
