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
    if (!startAfresh && ResultFileFull(path.c_str())) {
        err << "gradewick-cli: '" << path
            << "' holds 100 subjects, as many as Gradewick counts; nothing added (remove one "
               "first)\n";
        return CliExitFileError;
    }
    if (!AppendRecord(path.c_str(), startAfresh, SemesterLabel(semester - 1),
                      StoredFromUtf8(subject).Bytes.c_str(), credits - 1, gradeIndex)) {
        err << "gradewick-cli: cannot write result file '" << path << "'\n";
        return CliExitFileError;
    }
    return CliExitOk;
}

} // namespace companion
