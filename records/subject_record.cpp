#include "subject_record.h"

RecordTableArray RecordTable{};

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
