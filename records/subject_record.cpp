#include "subject_record.h"

RecordTableArray RecordTable{};

std::string_view WithoutLineFeed(const char* text) {
    std::string_view view(text);
    if (!view.empty() && view.back() == '\n') {
        view.remove_suffix(1);
    }
    return view;
}

void ResetRecordTable(RecordTableArray& table) {
    for (SubjectRecord& record : table) {
        record.Label[0] = '\0';
        record.Subject[0] = '\0';
        record.CreditIndex = UnsetIndex;
        record.GradeIndex = UnsetIndex;
    }
}

void ResetRecordTable() {
    ResetRecordTable(RecordTable);
}
