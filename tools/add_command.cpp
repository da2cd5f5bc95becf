// add: one subject appended, as the entry screen's Insert appends it.
#include "commands.h"

#include "encoding.h"
#include "grade_scale.h"
#include "result_file.h"

namespace companion {

// The subject is stored as the entry screen stores what is typed (CheckSubject has seen that it
// can be).
int Add(const std::string& path, bool startAfresh, int semester, int credits, int gradeIndex,
        const std::string& subject, std::ostream& err) {
    const AppendResult result =
        AppendRecord(path.c_str(), startAfresh, SemesterLabel(semester - 1),
                     StoredFromUtf8(subject).Bytes.c_str(), credits - 1, gradeIndex);
    const std::string file = "'" + path + "'";
    switch (result.Status) {
    case AppendStatus::Done: return CliExitOk;
    case AppendStatus::Full:
        err << "gradewick-cli: " << file
            << " holds 100 subjects, as many as Gradewick counts; nothing added (remove one "
               "first)\n";
        break;
    case AppendStatus::InUse:
        err << "gradewick-cli: " << file
            << " is in use by another window or program; nothing added (try again once it "
               "is done)\n";
        break;
    case AppendStatus::ReadOnly:
        err << "gradewick-cli: " << file << " is read-only; nothing added\n";
        break;
    case AppendStatus::NotRegular:
        err << "gradewick-cli: " << file << " is not a regular file; nothing added\n";
        break;
    case AppendStatus::BadText:
    case AppendStatus::Failed:
        err << "gradewick-cli: cannot write result file " << file << ": " << result.Reason
            << "; nothing was written\n";
        break;
    case AppendStatus::Damaged:
        err << "gradewick-cli: writing result file " << file << " failed (" << result.Reason
            << "), and cutting it back failed too: it may end with a partial record, which "
               "'gradewick-cli list' shows and 'gradewick-cli remove' or the results view's "
               "Remove takes out\n";
        break;
    }
    return CliExitFileError;
}

} // namespace companion
