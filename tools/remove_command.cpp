// remove: records taken out by their list numbers, every other byte of the file kept.
#include "commands.h"

#include <algorithm>

#include "result_rewrite.h"

namespace companion {

namespace {

// Why a removal did not happen, in the companion's words.
std::string NotRemoved(const std::string& path, const RewriteResult& result) {
    switch (result.Status) {
    case RewriteStatus::NoSuchRecord:
        return result.Message + "; list shows " +
               (result.RecordsRead == 0 ? "none"
                                        : "records 1 to " + std::to_string(result.RecordsRead));
    case RewriteStatus::WouldReadDifferently:
        return "without the chosen records, " + result.Message + "; nothing removed";
    case RewriteStatus::CannotOpen:
    case RewriteStatus::NamedTwice: return result.Message;
    case RewriteStatus::Failed: return result.Message + "; '" + path + "' is left as it was";
    default: return result.Message + "; nothing removed";
    }
}

} // namespace

// Removes the records that list numbers as numbers, keeping every other byte of the file, and
// prints their list lines.
int Remove(const std::string& path, const std::vector<int>& numbers, std::ostream& out,
           std::ostream& err) {
    std::vector<RecordChange> changes(numbers.size());
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        changes[i].Index = numbers[i] - 1;
        changes[i].Remove = true;
    }
    const RewriteResult result = RewriteRecords(path, changes);
    if (result.Status != RewriteStatus::Done) {
        const bool badArgument = result.Status == RewriteStatus::CannotRead ||
                                 result.Status == RewriteStatus::NoSuchRecord ||
                                 result.Status == RewriteStatus::NamedTwice ||
                                 result.Status == RewriteStatus::WouldReadDifferently;
        err << "gradewick-cli: " << NotRemoved(path, result) << '\n';
        return badArgument ? CliExitUsage : CliExitFileError;
    }
    std::string removed;
    for (const auto& [index, record] : result.Changed) {
        removed += ListLine(index + 1, record);
    }
    out << removed;
    return CliExitOk;
}

} // namespace companion
