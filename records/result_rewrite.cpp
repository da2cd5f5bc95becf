// The rewrite of a result file: the changes checked against the file as it is now, under the
// writers' lock, then the one-step replacement over the platform's file calls, asking the
// failure-injection seam before each step.
#include "result_rewrite.h"

#include <exception>

#include "file_system.h"
#include "locked_file.h"
#include "rewrite_step.h"

namespace {

// Where a step that is to fail is pointed instead: a folder that is not there.
std::string Nowhere(const std::string& path) {
    return "no-such-folder/" + path;
}

std::string Quoted(const std::string& path) {
    return "'" + path + "'";
}

// Writes, flushes and closes the new file, checks the file at target, and puts the new file in
// its place. Returns what failed, or nothing; kept tells whether the new file must stay, as the
// only copy of the contents.
std::string WriteAndMove(NewFile& file, const std::string& temporary, const std::string& path,
                         const std::string& target, std::optional<std::string_view> before,
                         std::string_view contents, bool& kept) {
    NewFile lost;
    if (!(RewriteStepFails(RewriteStep::Write, temporary) ? lost : file).Write(contents)) {
        return "writing " + Quoted(temporary) + " failed: " + PlatformReason();
    }
    if (!(RewriteStepFails(RewriteStep::Flush, temporary) ? lost : file).Flush() || !file.Close()) {
        return Quoted(temporary) + " could not be flushed to disk: " + PlatformReason();
    }
    if (before) {
        // A program that takes no lock (an editor, a sync client) may have written meanwhile:
        // the file must still be what was read, as near to its replacement as can be.
        RewriteStepFails(RewriteStep::Hold, target);
        const bool fails = RewriteStepFails(RewriteStep::Recheck, target);
        const WholeFile now = ReadWholeFile(fails ? Nowhere(target) : target);
        if (!now.Opened || now.ReadError || now.Bytes != *before) {
            return Quoted(path) + " changed or vanished while it was being rewritten";
        }
    }
    const bool fails = RewriteStepFails(RewriteStep::Rename, target);
    const MoveResult moved = MoveInPlace(temporary, fails ? Nowhere(target) : target);
    kept = moved == MoveResult::OldGone;
    if (kept) {
        return Quoted(path) + " was taken away while its replacement " + Quoted(temporary) +
               " could not take its place (" + PlatformReason() + "): that file holds the new " +
               "contents, and can be renamed to " + Quoted(path) + " by hand";
    }
    if (moved == MoveResult::Failed) {
        return Quoted(temporary) + " could not take the place of " + Quoted(path) + ": " +
               PlatformReason();
    }
    return {};
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
        return "rewriting " + Quoted(path) + " stopped: " + error.what();
    } catch (...) {
        return "rewriting " + Quoted(path) + " stopped by an unknown failure";
    }
}

std::string RecordName(int index) {
    return "record " + std::to_string(index + 1);
}

// Why the writers' lock on path was not taken, as a refusal; nothing when it was.
std::optional<RewriteResult> NotLocked(const std::string& path, const LockedFile& file) {
    switch (file.Status()) {
    case LockStatus::Taken: return std::nullopt;
    case LockStatus::InUse:
        return Refused(RewriteStatus::InUse,
                       Quoted(path) + " is in use by another window or program");
    case LockStatus::Gone:
        return Refused(RewriteStatus::Gone,
                       "cannot open result file " + Quoted(path) + ": " + file.Reason());
    case LockStatus::NotRegular:
        return Refused(RewriteStatus::NotRegular, Quoted(path) + " is not a regular file");
    case LockStatus::ReadOnly:
        return Refused(RewriteStatus::ReadOnly, Quoted(path) + " is read-only");
    case LockStatus::Failed: break;
    }
    return Refused(RewriteStatus::CannotOpen,
                   "cannot open result file " + Quoted(path) + ": " + file.Reason());
}

std::string_view FieldText(std::string_view record, const RecordLayout& layout, RecordField f) {
    const FieldSpan span = layout[static_cast<std::size_t>(f)];
    return record.substr(span.Begin, span.End - span.Begin);
}

// A record's bytes with one field's text replaced.
std::string WithField(std::string_view record, RecordField field, std::string_view text) {
    const FieldSpan span = LayOutRecord(record)[static_cast<std::size_t>(field)];
    std::string changed(record.substr(0, span.Begin));
    changed += text;
    changed += record.substr(span.End);
    return changed;
}

// A record of the new contents as it must read back: where it lies, and for a changed record
// the texts its four fields must hold.
struct KeptRecord {
    int Index = 0; // in the file read now
    std::size_t Begin = 0;
    std::size_t End = 0;
    std::optional<std::array<std::string, RecordFieldCount>> Fields;
};

// Whether contents read back as kept says: every kept record in its place with its bytes (so
// read exactly as before, NUL bytes and all), each changed field holding exactly its new text,
// and as many records as that leaves; records past the hundredth may move into the table when
// records are removed. The first record that would read differently, or -1.
int FirstMisread(std::string_view contents, const std::vector<KeptRecord>& kept,
                 const LoadReport& report) {
    RecordTableArray after;
    const LoadReport reread = LoadRecordBytes(contents, after);
    for (std::size_t k = 0; k < kept.size(); ++k) {
        const KeptRecord& record = kept[k];
        if (k >= static_cast<std::size_t>(reread.RecordsRead) ||
            reread.RecordBounds[k] != record.Begin || reread.RecordBounds[k + 1] != record.End) {
            return record.Index;
        }
        if (record.Fields) {
            const std::string_view bytes = contents.substr(record.Begin, record.End - record.Begin);
            const RecordLayout layout = LayOutRecord(bytes);
            for (int f = 0; f < RecordFieldCount; ++f) {
                if (FieldText(bytes, layout, static_cast<RecordField>(f)) !=
                    (*record.Fields)[static_cast<std::size_t>(f)]) {
                    return record.Index;
                }
            }
        }
    }
    const bool countRight =
        static_cast<std::size_t>(reread.RecordsRead) == kept.size() || report.MoreThanCapacity;
    return countRight ? -1 : report.RecordsRead - 1;
}

RewriteResult CheckAndRewrite(const std::string& path, std::span<const RecordChange> changes,
                              std::optional<std::string_view> shown) {
    LockedFile lock(path, false);
    if (std::optional<RewriteResult> refused = NotLocked(path, lock)) {
        return *refused;
    }
    std::string bytes;
    if (!lock.ReadAll(bytes)) {
        return Refused(RewriteStatus::CannotRead,
                       "reading " + Quoted(path) + " stopped before its end: " + lock.Reason());
    }
    if (shown && bytes != *shown) {
        return Refused(RewriteStatus::ChangedSinceShown,
                       Quoted(path) + " has changed since it was shown");
    }
    RecordTableArray before;
    const LoadReport report = LoadRecordBytes(bytes, before);
    const auto count = static_cast<std::size_t>(report.RecordsRead);
    std::vector<const RecordChange*> changeOf(count, nullptr);
    for (const RecordChange& change : changes) {
        const auto index = static_cast<std::size_t>(change.Index);
        if (change.Index < 0 || index >= count) {
            return Refused(RewriteStatus::NoSuchRecord,
                           Quoted(path) + " has no " + RecordName(change.Index),
                           report.RecordsRead);
        }
        if (changeOf[index] != nullptr) {
            return Refused(RewriteStatus::NamedTwice, RecordName(change.Index) + " is named twice",
                           report.RecordsRead);
        }
        changeOf[index] = &change;
    }
    const std::string_view file(bytes);
    std::string contents;
    std::vector<KeptRecord> kept;
    std::vector<std::pair<int, SubjectRecord>> changed;
    for (std::size_t i = 0; i < count; ++i) {
        const std::string_view record = file.substr(
            report.RecordBounds[i], report.RecordBounds[i + 1] - report.RecordBounds[i]);
        const RecordChange* change = changeOf[i];
        KeptRecord place{static_cast<int>(i), contents.size(), 0, std::nullopt};
        if (change == nullptr) {
            contents += record;
        } else if (!change->Remove) {
            const std::string newRecord = WithField(record, change->Field, change->Text);
            const RecordLayout layout = LayOutRecord(record);
            place.Fields.emplace();
            for (int f = 0; f < RecordFieldCount; ++f) {
                const auto field = static_cast<RecordField>(f);
                (*place.Fields)[static_cast<std::size_t>(f)] =
                    field == change->Field ? change->Text
                                           : std::string(FieldText(record, layout, field));
            }
            contents += newRecord;
        }
        if (change != nullptr) {
            changed.emplace_back(static_cast<int>(i), before[i]);
        }
        if (change == nullptr || !change->Remove) {
            place.End = contents.size();
            kept.push_back(std::move(place));
        }
    }
    contents += file.substr(report.RecordBounds[count]);
    if (const int misread = FirstMisread(contents, kept, report); misread >= 0) {
        return Refused(RewriteStatus::WouldReadDifferently,
                       RecordName(misread) + " of " + Quoted(path) + " would read differently",
                       report.RecordsRead);
    }
    // A change to what is there already writes nothing.
    RewriteResult result =
        contents == bytes ? RewriteResult{} : ReplaceFileContents(path, bytes, contents);
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
        loaded.Report.NotRegular = file.NotRegular;
    }
    loaded.Bytes = std::move(file.Bytes);
    return loaded;
}

RewriteResult RewriteRecords(const std::string& path, std::span<const RecordChange> changes,
                             std::optional<std::string_view> shown) {
    try {
        return CheckAndRewrite(path, changes, shown);
    } catch (...) {
        return Refused(RewriteStatus::Failed, StoppedBy(path));
    }
}

RewriteResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents, Replacing what) {
    const std::string target = FinalPath(path);
    if (const std::optional<FileFacts> facts = LookAtFile(target)) {
        if (facts->ReadOnly) {
            return Refused(RewriteStatus::ReadOnly, Quoted(path) + " is read-only");
        }
        if (facts->Names > 1) {
            return Refused(RewriteStatus::OtherNames,
                           Quoted(path) + " has other names (" + std::to_string(facts->Names) +
                               " hard links), which replacing it would part");
        }
    }
    const std::string temporary = NewFileNameFor(target);
    NewFile file(temporary, target);
    if (!file.Created()) {
        if (!file.AlreadyThere()) {
            return Refused(RewriteStatus::Failed, "cannot create " + Quoted(temporary) +
                                                      " beside it: " + PlatformReason());
        }
        const std::string left =
            what == Replacing::Export
                ? "an interrupted export to " + Quoted(path) +
                      ", and can be deleted when no other export to it runs"
                : "an interrupted removal or change, holding the new contents that were being "
                  "written, and can be deleted when no other removal or change of " +
                      Quoted(path) + " runs";
        return Refused(RewriteStatus::LeftoverNewFile,
                       Quoted(temporary) + " is already there: it may be left from " + left);
    }
    std::string failure;
    bool kept = false;
    RewriteStatus status = RewriteStatus::Failed;
    if (file.OwnerLost()) {
        status = RewriteStatus::OtherOwner;
        failure = Quoted(path) + " belongs to another user or group, which a new copy of it " +
                  "cannot keep; only its owner can change it";
    } else {
        try {
            failure = WriteAndMove(file, temporary, path, target, before, contents, kept);
        } catch (...) {
            failure = StoppedBy(path);
        }
    }
    if (failure.empty()) {
        return {};
    }
    file.Close();
    if (!kept) {
        RemoveFile(temporary);
    }
    return Refused(status, failure);
}
