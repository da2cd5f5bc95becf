// Semester sums, subject rows, GPA, verdict and CGPA. The arithmetic is exact to the rule:
// integer weights by integer multiplication, real weights as one double product, sums in
// table order, the verdict on the quotient in 80-bit extended precision.
#include "summary.h"

#include <charconv>
#include <cstring>
#include <limits>

#if defined(_WIN32)
#include <float.h>
#endif

static_assert(std::numeric_limits<long double>::digits == 64,
              "the verdict needs long double with a 64-bit significand (x87 extended)");

SemesterTotalsData SemesterTotals{};

namespace {

// Length of the C string in a fixed array, which may lack its terminator.
std::size_t BoundedLength(const char* text, std::size_t size) {
    const void* end = std::memchr(text, '\0', size);
    return end == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(end) - text);
}

// Quality points of a credit value 1..4 and a grade index 0..9, both already checked.
double PointsOf(int credits, const GradeEntry& grade) {
    if (grade.IntegerWeight) {
        return static_cast<double>(credits * grade.WholeWeight);
    }
    return static_cast<double>(credits) * grade.RealWeight;
}

} // namespace

std::optional<int> ClassifyRecord(const SubjectRecord& record) {
    // "Semester 1" is looked for first, then "Semester 2" and so on, each anywhere in the
    // label, which ends at its first NUL or at the end of its array. "Semester K" cannot
    // overlap itself, so a label of at most 14 characters holds at most one of them and the
    // first found is the answer.
    constexpr char prefix[] = "Semester ";
    constexpr std::size_t prefixLength = sizeof prefix - 1;
    static_assert(sizeof record.Label < 2 * (prefixLength + 1));
    const char* label = record.Label;
    for (std::size_t p = 0; p + prefixLength < sizeof record.Label && label[p] != '\0'; ++p) {
        if (label[p] != 'S' || std::memcmp(label + p, prefix, prefixLength) != 0) {
            continue;
        }
        const int semester = label[p + prefixLength] - '1';
        if (semester >= 0 && semester < SemesterCount) {
            return semester;
        }
    }
    return std::nullopt;
}

std::optional<int> CountedSemester(const SubjectRecord& record) {
    const bool inRange = record.CreditIndex >= 0 && record.CreditIndex < CreditChoiceCount &&
                         record.GradeIndex >= 0 && record.GradeIndex < GradeCount;
    return inRange ? ClassifyRecord(record) : std::nullopt;
}

double QualityPoints(int credits, int gradeIndex) {
    if (gradeIndex < 0 || gradeIndex >= GradeCount || credits < 1 || credits > CreditChoiceCount) {
        return 0.0;
    }
    return PointsOf(credits, GradeScale[static_cast<std::size_t>(gradeIndex)]);
}

SummarySlots SummarizeRecords(const RecordTableArray& table, SemesterTotalsData& totals, int s,
                              int firstRow) {
    for (int t = 0; t < SemesterCount; ++t) {
        totals.Credits[t] = 0;
        totals.Points[t] = 0.0;
    }
    SummarySlots result;
    for (std::size_t index = 0; index < table.size(); ++index) {
        const SubjectRecord& record = table[index];
        const std::optional<int> semester = CountedSemester(record);
        if (!semester) {
            result.PassedOver += ClassifyRecord(record) ? 1 : 0; // damaged: no row, no sums
            continue;
        }
        const int credits = record.CreditIndex + 1;
        const GradeEntry& grade = GradeScale[static_cast<std::size_t>(record.GradeIndex)];
        const int t = *semester;
        const int slotNumber = result.RowCount - firstRow; // 0-based
        if (t == s && slotNumber >= 0 && slotNumber < SummarySlotCount) {
            result.Records[static_cast<std::size_t>(slotNumber)] = static_cast<int>(index);
            if (record.Subject[0] != '\0') {
                auto& slot = result.Slots[static_cast<std::size_t>(slotNumber)];
                slot.emplace();
                SummaryRow& row = *slot;
                const std::size_t length = BoundedLength(record.Subject, sizeof record.Subject);
                const std::size_t kept =
                    length < sizeof row.Subject ? length : sizeof row.Subject - 1;
                std::memcpy(row.Subject, record.Subject, kept);
                row.Subject[kept] = '\0';
                row.Credits[0] = static_cast<char>('0' + credits);
                row.Credits[1] = '\0';
                std::strncpy(row.Grade, grade.Letter, sizeof row.Grade - 1);
                row.Grade[sizeof row.Grade - 1] = '\0';
            }
        }
        result.RowCount += t == s ? 1 : 0;
        totals.Credits[t] += credits;
        totals.Points[t] += PointsOf(credits, grade);
    }
    return result;
}

SummarySlots SummarizeRecords(int s, int firstRow) {
    return SummarizeRecords(RecordTable, SemesterTotals, s, firstRow);
}

GpaResult SemesterGpa(const SemesterTotalsData& totals, int s) {
    GpaResult result;
    if (s < 0 || s >= SemesterCount || totals.Credits[s] == 0) {
        return result;
    }
    const double points = totals.Points[s];
    const int credits = totals.Credits[s];
    result.Text = FormatTwoDecimals(points / credits);
    const long double quotient =
        static_cast<long double>(points) / static_cast<long double>(credits);
    result.Verdict =
        quotient > static_cast<long double>(GoodGpaThreshold) ? GpaVerdict::Good : GpaVerdict::Bad;
    return result;
}

GpaResult SemesterGpa(int s) {
    return SemesterGpa(SemesterTotals, s);
}

std::string ComputeCumulative(SemesterTotalsData& totals) {
    std::int32_t credits = 0;
    long double points = 0.0L;
    for (int t = 0; t < SemesterCount; ++t) {
        credits += totals.Credits[t];
        points += static_cast<long double>(totals.Points[t]);
    }
    totals.TotalCredits = credits;
    totals.TotalPoints = static_cast<double>(points);
    if (credits == 0) {
        return {};
    }
    return FormatTwoDecimals(totals.TotalPoints / credits);
}

std::string ComputeCumulative() {
    return ComputeCumulative(SemesterTotals);
}

std::string FormatTwoDecimals(double value) {
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    if (result.ec != std::errc{}) {
        return {};
    }
    return {text, result.ptr};
}

void EnsureExtendedPrecision() {
#if defined(_WIN32) && (defined(__x86_64__) || defined(__i386__))
    // The 64-bit runtime's _control87 leaves the x87 precision field alone, so the control
    // word is set directly: precision control (bits 8 and 9) to 64 bits.
    unsigned short word = 0;
    __asm__ volatile("fnstcw %0" : "=m"(word));
    const auto wanted = static_cast<unsigned short>(word | 0x0300U);
    if (wanted != word) {
        __asm__ volatile("fldcw %0" : : "m"(wanted));
    }
#elif defined(_WIN32) && defined(_MCW_PC) && defined(_PC_64)
    _control87(_PC_64, _MCW_PC);
#endif
}
