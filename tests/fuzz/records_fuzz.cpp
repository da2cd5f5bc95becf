// Loads arbitrary bytes as a result file and summarises every semester, under the sanitizers.
// It stops on a broken promise of the load: a text not terminated within its array, an entry
// past the records read that is not empty, record bounds out of order, or a table that does
// not read back the same once written out again with FormatRecord, where it can: every label
// and subject ends in its line feed (or the subject has all 49 characters), and no label after
// the first starts with white space that the grade before it would skip.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "result_file.h"
#include "summary.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// The text of a loaded field as it would be written: without its line feed. False when it has
// none to drop and is shorter than the field's limit (it would not read back as one line).
bool WithoutLineFeed(const char* text, std::size_t size, std::string& out) {
    Require(std::memchr(text, '\0', size) != nullptr);
    out = text;
    if (!out.empty() && out.back() == '\n') {
        out.pop_back();
        return true;
    }
    return out.size() == size - 1;
}

RecordTableArray Table;
RecordTableArray Again;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const LoadReport report =
        LoadRecordBytes(std::string_view(reinterpret_cast<const char*>(data), size), Table);
    Require(report.Opened && !report.ReadError && report.RecordsRead <= RecordCapacity);
    std::string written;
    bool rewritable = true;
    for (std::size_t i = 0; i < Table.size(); ++i) {
        const SubjectRecord& r = Table[i];
        if (static_cast<int>(i) >= report.RecordsRead) {
            Require(r.Label[0] == '\0' && r.Subject[0] == '\0' && r.CreditIndex == UnsetIndex &&
                    r.GradeIndex == UnsetIndex);
            continue;
        }
        Require(report.RecordBounds[i] < report.RecordBounds[i + 1]);
        std::string label;
        std::string subject;
        const bool labelFits =
            WithoutLineFeed(r.Label, sizeof r.Label, label) && label.size() < LabelSize - 1;
        const bool subjectFits = WithoutLineFeed(r.Subject, sizeof r.Subject, subject);
        rewritable = rewritable && labelFits && subjectFits &&
                     (i == 0 || std::strchr(" \t\n\v\f\r", r.Label[0]) == nullptr);
        written += FormatRecord(label.c_str(), subject.c_str(), r.CreditIndex, r.GradeIndex);
    }
    Require(report.RecordBounds[static_cast<std::size_t>(report.RecordsRead)] <= size);
    SemesterTotalsData totals{};
    for (int s = 0; s < SemesterCount; ++s) {
        SummarizeRecords(Table, totals, s);
        SemesterGpa(totals, s);
    }
    ComputeCumulative(totals);
    if (rewritable) {
        Require(LoadRecordBytes(written, Again).RecordsRead == report.RecordsRead);
        for (std::size_t i = 0; i < Table.size(); ++i) {
            Require(std::strcmp(Table[i].Label, Again[i].Label) == 0 &&
                    std::strcmp(Table[i].Subject, Again[i].Subject) == 0 &&
                    Table[i].CreditIndex == Again[i].CreditIndex &&
                    Table[i].GradeIndex == Again[i].GradeIndex);
        }
    }
    return 0;
}
