// remove: records taken out by their list numbers, every other byte of the file kept.
#include "commands.h"

#include "result_rewrite.h"

namespace companion {

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
        return Unchanged(path, result, "removed", err);
    }
    std::string removed;
    for (const auto& [index, record] : result.Changed) {
        removed += ListLine(index + 1, record);
    }
    out << removed;
    return CliExitOk;
}

} // namespace companion
