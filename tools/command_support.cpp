// What the companion's commands share: loading a file with its warnings, the results as the
// results view sums them, and a record as list prints it.
#include "commands.h"

#include <algorithm>

#include "file_system.h"
#include "grade_scale.h"
#include "summary.h"

namespace companion {

std::string Printable(std::string_view text) {
    std::string out;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\\') {
            out += "\\\\";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\n') {
            out += "\\n";
        } else if (byte < 0x20 || byte == 0x7F) {
            static constexpr char hex[] = "0123456789abcdef";
            out += "\\x";
            out += hex[byte >> 4];
            out += hex[byte & 0xF];
        } else {
            out += c;
        }
    }
    return out;
}

std::string Count(int number, const char* noun) {
    return std::to_string(number) + " " + noun + (number == 1 ? "" : "s");
}

bool LoadOrComplain(const std::string& path, LoadReport& report, std::ostream& err) {
    report = LoadRecordTable(path.c_str());
    if (report.NotRegular) {
        err << "gradewick-cli: '" << path << "' is not a regular file\n";
        return false;
    }
    if (!report.Opened) {
        err << "gradewick-cli: cannot open result file '" << path << "': " << PlatformReason()
            << '\n';
        return false;
    }
    if (report.ReadError) {
        err << "gradewick-cli: reading result file '" << path
            << "' failed; nothing is shown from it\n";
        return false;
    }
    return true;
}

std::vector<std::string> LoadWarnings(const std::string& path, const LoadReport& report,
                                      int passedOver) {
    std::vector<std::string> warnings;
    if (report.MoreThanCapacity) {
        warnings.push_back("'" + path +
                           "' holds more than 100 records; only the first 100 were read");
    }
    if (passedOver > 0) {
        warnings.push_back(std::to_string(passedOver) +
                           (passedOver == 1 ? " record was passed over: its"
                                            : " records were passed over: their") +
                           " credits or grade are out of range");
    }
    return warnings;
}

void PrintWarnings(const std::string& path, const LoadReport& report, int passedOver,
                   std::ostream& err) {
    for (const std::string& warning : LoadWarnings(path, report, passedOver)) {
        err << "gradewick-cli: warning: " << warning << '\n';
    }
}

int Unchanged(const std::string& path, const RewriteResult& result, const char* done,
              std::ostream& err) {
    const std::string nothing = std::string("; nothing ") + done;
    std::string why = result.Message + nothing;
    switch (result.Status) {
    case RewriteStatus::NoSuchRecord:
        why = result.Message + "; list shows " +
              (result.RecordsRead == 0 ? "none"
                                       : "records 1 to " + std::to_string(result.RecordsRead));
        break;
    case RewriteStatus::WouldReadDifferently:
        why = "with the change, " + result.Message + nothing;
        break;
    case RewriteStatus::CannotOpen:
    case RewriteStatus::Gone:
    case RewriteStatus::NamedTwice: why = result.Message; break;
    case RewriteStatus::Failed: why = result.Message + "; '" + path + "' is left as it was"; break;
    default: break;
    }
    err << "gradewick-cli: " << why << '\n';
    const bool badArgument = result.Status == RewriteStatus::CannotRead ||
                             result.Status == RewriteStatus::NoSuchRecord ||
                             result.Status == RewriteStatus::NamedTwice ||
                             result.Status == RewriteStatus::WouldReadDifferently;
    return badArgument ? CliExitUsage : CliExitFileError;
}

std::string ListLine(int number, const SubjectRecord& record) {
    const std::optional<int> semester = ClassifyRecord(record);
    const char* credits = CreditText(record.CreditIndex);
    const char* letter = GradeLetter(record.GradeIndex);
    const bool damaged = semester && (credits == nullptr || letter == nullptr);
    return std::to_string(number) + '\t' + (semester ? SemesterLabel(*semester) : "-") + '\t' +
           Printable(WithoutLineFeed(record.Subject)) + '\t' +
           (credits != nullptr ? credits : "?") + '\t' + (letter != nullptr ? letter : "?") + '\t' +
           (damaged ? "damaged" : "") + '\n';
}

} // namespace companion
