// The record of one subject and the program-wide fixed table of 100 records.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

constexpr int UnsetIndex = 100;         // credit/grade index of the empty record
constexpr int RecordCapacity = 100;     // entries of the record table
constexpr std::size_t LabelSize = 15;   // at most 14 characters and the terminator
constexpr std::size_t SubjectSize = 50; // at most 49 characters and the terminator

// Texts are C strings in their fixed arrays: a NUL byte ends them. After a load they
// normally keep the line feed of their line.
struct SubjectRecord {
    char Label[LabelSize];
    char Subject[SubjectSize];
    std::int32_t CreditIndex;
    std::int32_t GradeIndex;
};

using RecordTableArray = std::array<SubjectRecord, RecordCapacity>;

// The one program-wide table. Written only by ResetRecordTable and the load.
extern RecordTableArray RecordTable;

// A loaded text as it was written: without the line feed that the load keeps.
std::string_view WithoutLineFeed(const char* text);

// Every entry becomes the empty record: empty texts, both indices UnsetIndex.
void ResetRecordTable(RecordTableArray& table);
void ResetRecordTable();
