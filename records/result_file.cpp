// Placeholder until the reader lands.
#include "result_file.h"

LoadReport LoadRecordTable(const char* /*path*/, RecordTableArray& table) {
    ResetRecordTable(table);
    return {};
}
LoadReport LoadRecordTable(const char* path) { return LoadRecordTable(path, RecordTable); }
LoadReport LoadRecordBytes(std::string_view /*bytes*/, RecordTableArray& table) {
    ResetRecordTable(table);
    return {};
}
std::string FormatRecord(const char*, const char*, int, int) { return {}; }
bool AppendRecord(const char*, bool, const char*, const char*, int, int) { return false; }
