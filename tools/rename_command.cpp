// rename: a record's subject given another name where it is, every other byte of the file kept.
#include "commands.h"

#include <cstring>

#include "encoding.h"
#include "result_rewrite.h"

namespace companion {

// The name is stored as the entry screen stores what is typed (cli.cpp has seen that it can be);
// the record's list line is printed with it. The same name writes nothing.
int Rename(const std::string& path, int number, const std::string& subject, std::ostream& out,
           std::ostream& err) {
    RecordChange change;
    change.Index = number - 1;
    change.Field = RecordField::Subject;
    change.Text = StoredFromUtf8(subject).Bytes;
    const RewriteResult result = RewriteRecords(path, {&change, 1});
    if (result.Status != RewriteStatus::Done) {
        return Unchanged(path, result, "renamed", err);
    }
    SubjectRecord renamed = result.Changed.front().second;
    std::strncpy(renamed.Subject, change.Text.c_str(), sizeof renamed.Subject - 1);
    out << ListLine(number, renamed);
    return CliExitOk;
}

} // namespace companion
