// The result file: four lines per subject (label, subject, credit index, grade index), every
// line ending in CR LF on disk on every platform.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "subject_record.h"

// What a load found. The caller decides what to tell the user.
struct LoadReport {
    bool Opened = false;           // false: the file could not be opened; the table stays empty
    bool NotRegular = false;       // not opened: a folder, pipe or device
    bool MoreThanCapacity = false; // the file holds more than 100 records; the first 100 loaded
    bool ReadError = false;        // reading stopped on an error other than the end of the file
    int RecordsRead = 0;           // entries filled (0..100)
    // Record i (below RecordsRead) lies in the file's bytes from RecordBounds[i] up to
    // RecordBounds[i + 1]: from its label to the next record's label, or to where reading
    // stopped, with the white space that its grade's read skipped.
    std::array<std::size_t, RecordCapacity + 1> RecordBounds{};
};

// Empties the table, then fills it from the file at path, in file order.
LoadReport LoadRecordTable(const char* path, RecordTableArray& table);
LoadReport LoadRecordTable(const char* path); // into the program-wide RecordTable

// The same reading rules applied to bytes already in memory (tests, fuzzing).
LoadReport LoadRecordBytes(std::string_view bytes, RecordTableArray& table);

// The four fields of a record, in file order.
enum class RecordField { Label, Subject, CreditIndex, GradeIndex };
constexpr int RecordFieldCount = 4;

// Where a field lies in a record's bytes: a label or subject without its line end, a number's
// sign and digits. A number that is not there is an empty span where its read stopped.
struct FieldSpan {
    std::size_t Begin = 0;
    std::size_t End = 0;
};
using RecordLayout = std::array<FieldSpan, RecordFieldCount>;

// The fields of the record whose bytes (from one RecordBounds to the next) are given, read by
// the load's own rules; indexed by RecordField.
RecordLayout LayOutRecord(std::string_view record);

// The exact bytes one record occupies on disk: label, subject, credit index and grade index,
// each followed by CR LF.
std::string FormatRecord(const char* label, const char* subject, int creditIndex, int gradeIndex);

enum class AppendStatus {
    Done,
    BadText,    // a label over 14 characters, a subject over 49, or a line feed in either
    Full,       // the file holds 100 records already: the results view would not count another
    InUse,      // another writer held the file for the whole wait
    ReadOnly,   // no write permission bit, or FILE_ATTRIBUTE_READONLY
    NotRegular, // a folder, pipe or device
    Failed,     // the file could not be opened or written; it is left as it was
    Damaged,    // a failed write could not be undone: the file may end with a partial record
};

struct AppendResult {
    AppendStatus Status = AppendStatus::Done;
    std::string Reason; // the platform's words, where Failed or Damaged
};

// Appends one record under the writers' lock, which it holds from its reading of the file (for
// the "full" check) to the end of its write. "Start afresh" empties the file first (and checks
// nothing). A file that does not end with a line end gets one first, so that the new record is
// read as one. The record is written in one call and flushed; a write that fails is cut back,
// so that the file is left as it was. Texts that would not read back as one field (and would
// put every later record out of step) are refused with nothing written.
AppendResult AppendRecord(const char* path, bool startAfresh, const char* label,
                          const char* subject, int creditIndex, int gradeIndex);
