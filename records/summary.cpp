// Placeholder until the arithmetic lands.
#include "summary.h"

SemesterTotalsData SemesterTotals{};

std::optional<int> ClassifyRecord(const SubjectRecord&) { return std::nullopt; }
double QualityPoints(int, int) { return 0.0; }
SummarySlots SummarizeRecords(const RecordTableArray&, SemesterTotalsData&, int) { return {}; }
SummarySlots SummarizeRecords(int s) { return SummarizeRecords(RecordTable, SemesterTotals, s); }
GpaResult SemesterGpa(const SemesterTotalsData&, int) { return {}; }
GpaResult SemesterGpa(int s) { return SemesterGpa(SemesterTotals, s); }
std::string ComputeCumulative(SemesterTotalsData&) { return {}; }
std::string ComputeCumulative() { return ComputeCumulative(SemesterTotals); }
std::string FormatTwoDecimals(double) { return {}; }
void EnsureExtendedPrecision() {}
