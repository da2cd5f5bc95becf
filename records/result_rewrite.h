// Changing a result file's records where they are: the one rewrite of the file, shared by the
// companion's remove and rename and the results view. A change is made under the writers' lock
// (locked_file.h) against the file as it is on disk now, keeps every other byte, and replaces
// the file in one step, so that any failure leaves it byte for byte as it was.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "result_file.h"
#include "subject_record.h"

// A load that keeps the bytes it read, so that a later change can be made only on the file as it
// was shown.
struct LoadedFile {
    LoadReport Report; // Opened, NotRegular and ReadError as LoadRecordTable sets them
    std::string Bytes; // the whole file as read
};

// Empties the table, then fills it from the whole file, read at once.
LoadedFile LoadResultFile(const std::string& path, RecordTableArray& table);

// One change of record Index (0-based, in file order, as the loader numbers them): the record
// is removed, or one of its fields gets a new text (without its line end). Every other byte of
// the record stays: a new grade replaces only the grade's digits, a new name only the subject
// line's text.
struct RecordChange {
    int Index = 0;
    bool Remove = false;
    RecordField Field = RecordField::Label;
    std::string Text;
};

enum class RewriteStatus {
    Done,
    NoSuchRecord,         // an Index that names no record of the file as it is now
    NamedTwice,           // an Index that two changes name
    ChangedSinceShown,    // the file is no longer byte for byte what was shown
    WouldReadDifferently, // the new contents would not read back as the changes mean
    // Refusals and failures of the file itself:
    Gone,            // no file is there any more
    CannotOpen,      // the platform refused to open it (Message gives its reason)
    NotRegular,      // a folder, pipe or device
    InUse,           // another writer held the file for the whole wait
    CannotRead,      // reading stopped before the end of the file
    ReadOnly,        // no write permission bit, or FILE_ATTRIBUTE_READONLY
    OtherNames,      // hard links, which replacing the file would part
    OtherOwner,      // another user's file, whose owner or group the new file cannot keep
    LeftoverNewFile, // the new file's name is taken already, perhaps by an interrupted rewrite
    Failed,          // creating, writing, flushing, checking or renaming failed
};

struct RewriteResult {
    RewriteStatus Status = RewriteStatus::Done;
    std::string Message; // what failed or was refused, naming the file; empty when Done
    int RecordsRead = 0; // records of the file as it was read now
    // When Done: the changed records as they were, with their indices, in file order.
    std::vector<std::pair<int, SubjectRecord>> Changed;
};

// Takes the writers' lock, reads the file whole and parses it with LoadRecordBytes; where shown
// is given, goes on only if the file is byte for byte what was shown; checks every change (an
// Index read now and named once); cuts each removed record's bytes out and puts each new field
// text in its field's place, keeping every other byte (the other records with their line ends,
// anything after the hundredth record); checks that the new contents read back with every
// untouched record's bytes where they belong and each changed field holding exactly its new
// text and its record's other fields their old bytes; and only then replaces the file
// (ReplaceFileContents), still under the lock, unless they are the file's own bytes. Nothing is
// written unless every check passes.
// It throws nothing: whatever stops it is Failed.
RewriteResult RewriteRecords(const std::string& path, std::span<const RecordChange> changes,
                             std::optional<std::string_view> shown = std::nullopt);

// What a replaced file is, for the words of a message about a new file left beside it.
enum class Replacing { ResultFile, Export };

// Puts contents in the place of the file at path in one step: a new file beside it (its name
// with ".new", or shorter where that would be too long: NewFileNameFor), written and flushed to
// disk, takes its place once the file is seen to hold still exactly before (where before is
// given; where it is not, no file need be there yet). A link is followed: the file it names is
// replaced and the link stays a link. Refused with nothing written: a read-only file, a file
// with other names (hard links), another user's file whose owner cannot be kept, and a new
// file's name that is taken already. On any failure, an exception included, the file is left
// as it was and the new file is removed again; the message gives the platform's reason. Status
// is Done, ReadOnly, OtherNames, OtherOwner, LeftoverNewFile or Failed.
RewriteResult ReplaceFileContents(const std::string& path, std::optional<std::string_view> before,
                                  std::string_view contents,
                                  Replacing what = Replacing::ResultFile);
