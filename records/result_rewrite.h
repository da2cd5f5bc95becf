// Changing a result file's records where they are: the one rewrite of the file, shared by the
// companion's remove and the results view. A change is made against the file as it is on disk
// now, keeps every other byte, and replaces the file in one step, so that any failure leaves
// it byte for byte as it was.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "result_file.h"
#include "subject_record.h"

// A load that keeps the bytes it read, so that a later change can name records as they were.
struct LoadedFile {
    LoadReport Report; // Opened and ReadError as LoadRecordTable sets them
    std::string Bytes; // the whole file as read
};

// Empties the table, then fills it from the whole file, read at once.
LoadedFile LoadResultFile(const std::string& path, RecordTableArray& table);

// A record as it was shown: where it began in the file and its exact bytes.
struct SeenRecord {
    std::size_t Offset = 0;
    std::string Bytes;
};

// Record index (below file.Report.RecordsRead) as the load saw it.
SeenRecord SeenRecordOf(const LoadedFile& file, int index);

// One change: record Index (0-based, in file order, as the loader numbers them) is removed
// (no Replacement) or replaced by Replacement's bytes (FormatRecord's output). Where Seen is
// given, the record must still begin at Seen.Offset and hold exactly Seen.Bytes.
struct RecordChange {
    int Index = 0;
    std::optional<SeenRecord> Seen;
    std::optional<std::string> Replacement;
};

enum class RewriteStatus {
    Done,
    NoSuchRecord,         // an Index that names no record of the file as it is now
    NamedTwice,           // an Index that two changes name
    ChangedSinceSeen,     // a record no longer at its Seen offset with its Seen bytes
    WouldReadDifferently, // the new contents would not read back as the changes mean
    // Refusals and failures of the file itself:
    CannotOpen,
    CannotRead,      // reading stopped before the end of the file
    ReadOnly,        // no write permission bit, or FILE_ATTRIBUTE_READONLY
    OtherNames,      // hard links, which replacing the file would part
    LeftoverNewFile, // PATH.new is there already, perhaps from an interrupted rewrite
    Failed,          // creating, writing, flushing, checking or renaming failed
};

struct RewriteResult {
    RewriteStatus Status = RewriteStatus::Done;
    std::string Message; // what failed or was refused, naming the file; empty when Done
    int RecordsRead = 0; // records of the file as it was read now
    // When Done: the changed records as they were, with their indices, in file order.
    std::vector<std::pair<int, SubjectRecord>> Changed;
};

// Reads the file whole and parses it with LoadRecordBytes; checks every change (an Index read
// now and named once, its Seen record unchanged); cuts each changed record's bytes out or puts
// its replacement in their place, keeping every other byte (the other records with their line
// ends, anything after the hundredth record); checks that the new contents read back with every
// untouched record as before, each replaced record as its replacement reads on its own, and as
// many records as that leaves; and only then replaces the file (ReplaceFileContents). Nothing
// is written unless every check passes. It throws nothing: whatever stops it is Failed.
RewriteResult RewriteRecords(const std::string& path, std::span<const RecordChange> changes);

// Puts contents in the place of the file at path in one step: a new file beside it (its name
// with ".new"), written and flushed to disk, is renamed over it once the file is seen to hold
// still exactly before (where before is given; where it is not, no file need be there yet). A
// link is followed: the file it names is replaced and the link stays a link. Refused with
// nothing written: a read-only file, a file with other names (hard links), and a ".new" name
// that is taken already. On any failure, an exception included, the file is left as it was
// and the new file is removed again. Status is Done, ReadOnly, OtherNames, LeftoverNewFile or
// Failed.
RewriteResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents);
