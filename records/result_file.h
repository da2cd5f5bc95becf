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

// Whether the file holds as many records as the table (100) or more: the results view would show
// and count no record appended to it.
bool ResultFileFull(const char* path);

// The same reading rules applied to bytes already in memory (tests, fuzzing).
LoadReport LoadRecordBytes(std::string_view bytes, RecordTableArray& table);

// The exact bytes one record occupies on disk: label, subject, credit index and grade index,
// each followed by CR LF.
std::string FormatRecord(const char* label, const char* subject, int creditIndex, int gradeIndex);

// Appends one record ("start afresh" empties the file first). Returns false when the file
// cannot be opened or written; and, having written nothing and left the file as it was, when
// the label is over 14 characters, the subject over 49, or either holds a line feed (such
// texts would not read back as one field and would put every later record out of step).
bool AppendRecord(const char* path, bool startAfresh, const char* label, const char* subject,
                  int creditIndex, int gradeIndex);
