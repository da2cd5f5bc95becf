// The rewrite of a result file: the changes checked against the file as it is now, then the
// one-step replacement over the platform's file calls, asking the failure-injection seam
// before each step.
#include "result_rewrite.h"

#include <cstring>
#include <exception>

#include "file_system.h"
#include "rewrite_step.h"

namespace {

// Where a step that is to fail is pointed instead: a folder that is not there.
std::string Nowhere(const std::string& path) {
    return "no-such-folder/" + path;
}

// Writes, flushes and closes the new file, checks the file at target, and renames the new
// file over it. Returns what failed, or nothing.
std::string WriteAndMove(NewFile& file, const std::string& temporary, const std::string& path,
                         const std::string& target, std::optional<std::string_view> before,
                         std::string_view contents) {
    NewFile lost;
    if (!(RewriteStepFails(RewriteStep::Write, temporary) ? lost : file).Write(contents)) {
        return "writing '" + temporary + "' failed";
    }
    if (!(RewriteStepFails(RewriteStep::Flush, temporary) ? lost : file).Flush() || !file.Close()) {
        return "'" + temporary + "' could not be flushed to disk";
    }
    if (before) {
        const bool fails = RewriteStepFails(RewriteStep::Recheck, target);
        const WholeFile now = ReadWholeFile(fails ? Nowhere(target) : target);
        if (!now.Opened || now.ReadError || now.Bytes != *before) {
            return "'" + path + "' changed or vanished while it was being rewritten";
        }
    }
    const bool fails = RewriteStepFails(RewriteStep::Rename, target);
    if (!MoveInPlace(temporary, fails ? Nowhere(target) : target)) {
        return "'" + temporary + "' could not take the place of '" + path + "'";
    }
    return {};
}

// Texts compare as the program uses them: up to their terminator.
bool SameRecord(const SubjectRecord& a, const SubjectRecord& b) {
    return std::strncmp(a.Label, b.Label, sizeof a.Label) == 0 &&
           std::strncmp(a.Subject, b.Subject, sizeof a.Subject) == 0 &&
           a.CreditIndex == b.CreditIndex && a.GradeIndex == b.GradeIndex;
}

// The first record (by its index in the file read now) that the new contents would not read
// back as the changes mean, or -1. Records past the hundredth may move into the table when
// records are removed; otherwise the number of records must come out exactly.
int FirstMisread(const RecordTableArray& before, const LoadReport& report,
                 const std::vector<const RecordChange*>& changeOf, std::string_view contents) {
    RecordTableArray after;
    RecordTableArray alone;
    const LoadReport reread = LoadRecordBytes(contents, after);
    const auto count = static_cast<std::size_t>(report.RecordsRead);
    std::size_t kept = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const RecordChange* change = changeOf[i];
        if (change != nullptr && !change->Replacement) {
            continue;
        }
        const SubjectRecord* meant = &before[i];
        if (change != nullptr) {
            LoadRecordBytes(*change->Replacement, alone);
            meant = &alone[0];
        }
        if (kept == static_cast<std::size_t>(reread.RecordsRead) ||
            !SameRecord(*meant, after[kept])) {
            return static_cast<int>(i);
        }
        ++kept;
    }
    const bool countRight =
        static_cast<std::size_t>(reread.RecordsRead) == kept || report.MoreThanCapacity;
    return countRight ? -1 : report.RecordsRead - 1;
}

std::string RecordName(int index) {
    return "record " + std::to_string(index + 1);
}

RewriteResult Refused(RewriteStatus status, std::string message, int recordsRead = 0) {
    RewriteResult result;
    result.Status = status;
    result.Message = std::move(message);
    result.RecordsRead = recordsRead;
    return result;
}

// What stopped a rewrite of path, called where an exception is caught.
std::string StoppedBy(const std::string& path) {
    try {
        throw;
    } catch (const std::exception& error) {
        return "rewriting '" + path + "' stopped: " + error.what();
    } catch (...) {
        return "rewriting '" + path + "' stopped by an unknown failure";
    }
}

RewriteResult CheckAndRewrite(const std::string& path, std::span<const RecordChange> changes) {
    RecordTableArray before;
    const LoadedFile file = LoadResultFile(path, before);
    const LoadReport& report = file.Report;
    const auto count = static_cast<std::size_t>(report.RecordsRead);
    if (!report.Opened) {
        return Refused(RewriteStatus::CannotOpen, "cannot open result file '" + path + "'");
    }
    if (report.ReadError) {
        return Refused(RewriteStatus::CannotRead, "reading '" + path + "' stopped before its end",
                       report.RecordsRead);
    }
    std::vector<const RecordChange*> changeOf(count, nullptr);
    for (const RecordChange& change : changes) {
        const auto index = static_cast<std::size_t>(change.Index);
        if (change.Index < 0 || index >= count) {
            return Refused(RewriteStatus::NoSuchRecord,
                           "'" + path + "' has no " + RecordName(change.Index), report.RecordsRead);
        }
        if (changeOf[index] != nullptr) {
            return Refused(RewriteStatus::NamedTwice, RecordName(change.Index) + " is named twice",
                           report.RecordsRead);
        }
        changeOf[index] = &change;
    }
    for (const RecordChange& change : changes) {
        const SeenRecord now = SeenRecordOf(file, change.Index);
        if (change.Seen && (change.Seen->Offset != now.Offset || change.Seen->Bytes != now.Bytes)) {
            return Refused(RewriteStatus::ChangedSinceSeen,
                           "'" + path + "' changed since it was shown: " +
                               RecordName(change.Index) + " is not as it was",
                           report.RecordsRead);
        }
    }
    std::string contents;
    std::vector<std::pair<int, SubjectRecord>> changed;
    std::size_t from = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (changeOf[i] != nullptr) {
            contents.append(file.Bytes, from, report.RecordBounds[i] - from);
            contents += changeOf[i]->Replacement.value_or("");
            from = report.RecordBounds[i + 1];
            changed.emplace_back(static_cast<int>(i), before[i]);
        }
    }
    contents.append(file.Bytes, from);
    if (const int misread = FirstMisread(before, report, changeOf, contents); misread >= 0) {
        return Refused(RewriteStatus::WouldReadDifferently,
                       RecordName(misread) + " of '" + path + "' would read differently",
                       report.RecordsRead);
    }
    RewriteResult result = ReplaceFileContents(path, file.Bytes, contents);
    result.RecordsRead = report.RecordsRead;
    if (result.Status == RewriteStatus::Done) {
        result.Changed = std::move(changed);
    }
    return result;
}

} // namespace

LoadedFile LoadResultFile(const std::string& path, RecordTableArray& table) {
    WholeFile file = ReadWholeFile(path);
    LoadedFile loaded;
    if (file.Opened) {
        loaded.Report = LoadRecordBytes(file.Bytes, table);
        loaded.Report.ReadError = file.ReadError;
    } else {
        ResetRecordTable(table);
    }
    loaded.Bytes = std::move(file.Bytes);
    return loaded;
}

SeenRecord SeenRecordOf(const LoadedFile& file, int index) {
    const std::size_t begin = file.Report.RecordBounds[static_cast<std::size_t>(index)];
    const std::size_t end = file.Report.RecordBounds[static_cast<std::size_t>(index) + 1];
    return {begin, file.Bytes.substr(begin, end - begin)};
}

RewriteResult RewriteRecords(const std::string& path, std::span<const RecordChange> changes) {
    try {
        return CheckAndRewrite(path, changes);
    } catch (...) {
        return Refused(RewriteStatus::Failed, StoppedBy(path));
    }
}

RewriteResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents) {
    const std::string target = FinalPath(path);
    if (const std::optional<FileFacts> facts = LookAtFile(target)) {
        if (facts->ReadOnly) {
            return Refused(RewriteStatus::ReadOnly, "'" + path + "' is read-only");
        }
        if (facts->Names > 1) {
            return Refused(RewriteStatus::OtherNames,
                           "'" + path + "' has other names (" + std::to_string(facts->Names) +
                               " hard links), which replacing it would part");
        }
    }
    const std::string temporary = target + ".new";
    NewFile file(temporary, target);
    if (!file.Created()) {
        if (file.AlreadyThere()) {
            return Refused(
                RewriteStatus::LeftoverNewFile,
                "'" + temporary +
                    "' is already there: it may be left from an interrupted removal or "
                    "change, holding the new contents that were being written, and can be "
                    "deleted when no other removal or change of '" +
                    path + "' runs");
        }
        return Refused(RewriteStatus::Failed, "cannot create '" + temporary + "' beside it");
    }
    std::string failure;
    try {
        failure = WriteAndMove(file, temporary, path, target, before, contents);
    } catch (...) {
        failure = StoppedBy(path);
    }
    if (failure.empty()) {
        return {};
    }
    file.Close();
    RemoveFile(temporary);
    return Refused(RewriteStatus::Failed, failure);
}
