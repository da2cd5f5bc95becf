// Loads arbitrary bytes as a result file and summarises every semester. Besides the
// sanitizers, it stops on any broken promise of the core: a text not terminated within its
// array, a table that differs from the plain character-at-a-time model's, a row without a
// subject or with credits outside 1..4, a GPA or CGPA outside 1.00..4.00, or rows that show
// more credits than the totals hold.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "reference_reader.h"
#include "result_file.h"
#include "summary.h"

namespace {

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

bool Terminated(const char* text, std::size_t size) {
    return std::memchr(text, '\0', size) != nullptr;
}

// A GPA or CGPA text: empty, or "d.dd" between 1.00 and 4.00.
bool PlausibleAverage(const std::string& text) {
    if (text.empty()) {
        return true;
    }
    return text.size() == 4 && text[1] == '.' && text >= "1.00" && text <= "4.00";
}

RecordTableArray Table;
RecordTableArray Model;

bool SameRecord(const SubjectRecord& a, const SubjectRecord& b) {
    return std::strcmp(a.Label, b.Label) == 0 && std::strcmp(a.Subject, b.Subject) == 0 &&
           a.CreditIndex == b.CreditIndex && a.GradeIndex == b.GradeIndex;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const LoadReport report = LoadRecordBytes(bytes, Table);
    Require(report.Opened && !report.ReadError);
    Require(report.RecordsRead >= 0 && report.RecordsRead <= RecordCapacity);
    const LoadReport expected = reference::Load(bytes, Model);
    Require(report.RecordsRead == expected.RecordsRead &&
            report.MoreThanCapacity == expected.MoreThanCapacity);
    for (std::size_t i = 0; i < Table.size(); ++i) {
        Require(Terminated(Table[i].Label, sizeof Table[i].Label));
        Require(Terminated(Table[i].Subject, sizeof Table[i].Subject));
        Require(SameRecord(Table[i], Model[i]));
        if (static_cast<int>(i) >= report.RecordsRead) {
            Require(Table[i].Label[0] == '\0' && Table[i].CreditIndex == UnsetIndex);
        }
    }

    int creditsShown = 0;
    SemesterTotalsData totals{};
    for (int s = 0; s < SemesterCount; ++s) {
        const SummarySlots slots = SummarizeRecords(Table, totals, s);
        for (const auto& row : slots.Slots) {
            if (row) {
                Require(Terminated(row->Subject, sizeof row->Subject) && row->Subject[0] != '\0');
                Require(row->Credits[0] >= '1' && row->Credits[0] <= '4');
                creditsShown += row->Credits[0] - '0';
            }
        }
        const GpaResult gpa = SemesterGpa(totals, s);
        Require(PlausibleAverage(gpa.Text));
        Require((gpa.Verdict == GpaVerdict::NoCredits) == (totals.Credits[s] == 0));
        Require(totals.Credits[s] >= 0 && totals.Credits[s] <= 4 * RecordCapacity);
    }
    const std::string cgpa = ComputeCumulative(totals);
    Require(PlausibleAverage(cgpa));
    Require(creditsShown <= totals.TotalCredits);
    return 0;
}
