// Loading a result file and summarising all eight semesters, measured beside opening, reading
// and closing the same file's bytes. The argument is the number of records in the file; the
// load stops after the hundredth, so 100000 records should cost little more than 100.
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "result_file.h"
#include "summary.h"

namespace {

// A realistic file of the given number of records, written once per run.
const std::string& ResultFileOf(int records) {
    static std::map<int, std::string> paths;
    auto found = paths.find(records);
    if (found != paths.end()) {
        return found->second;
    }
    static const char* const subjects[] = {
        "Calculus I",        "Linear Algebra",  "Physics I",     "Organic Chemistry",
        "Technical Writing", "Data Structures", "Microeconomics"};
    std::string bytes;
    for (int i = 0; i < records; ++i) {
        bytes += FormatRecord(SemesterLabel(i % SemesterCount), subjects[i % 7], i % 4, i % 10);
    }
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("gradewick-bench-" + std::to_string(records) + ".rst");
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    if (file == nullptr || std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() ||
        std::fclose(file) != 0) {
        (void)std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
    return paths.emplace(records, path.string()).first->second;
}

void BM_ReadFileBytes(benchmark::State& state) {
    const std::string& path = ResultFileOf(static_cast<int>(state.range(0)));
    std::string bytes;
    char block[8192];
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        bytes.clear();
        std::FILE* file = std::fopen(path.c_str(), "rb");
        if (file == nullptr) {
            state.SkipWithError("cannot open the file");
            break;
        }
        std::size_t got = 0;
        while ((got = std::fread(block, 1, sizeof block, file)) > 0) {
            bytes.append(block, got);
        }
        (void)std::fclose(file);
        benchmark::DoNotOptimize(bytes.data());
        benchmark::ClobberMemory();
    }
}

// Load the file and summarise all eight semesters: one summary pass sums credits and
// points of every semester (with the rows of the first), then the eight GPA texts and
// verdicts and the CGPA.
void BM_LoadAndSummarize(benchmark::State& state) {
    const std::string& path = ResultFileOf(static_cast<int>(state.range(0)));
    static RecordTableArray table;
    SemesterTotalsData totals{};
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const LoadReport report = LoadRecordTable(path.c_str(), table);
        if (!report.Opened) {
            state.SkipWithError("cannot open the file");
            break;
        }
        SummarySlots slots = SummarizeRecords(table, totals, 0);
        benchmark::DoNotOptimize(slots);
        for (int s = 0; s < SemesterCount; ++s) {
            GpaResult gpa = SemesterGpa(totals, s);
            benchmark::DoNotOptimize(gpa);
        }
        std::string cgpa = ComputeCumulative(totals);
        benchmark::DoNotOptimize(cgpa);
        benchmark::ClobberMemory();
    }
}

// For comparison: the load followed by eight full refreshes of the results view, one per
// semester (summary pass with that semester's rows, its GPA, the CGPA).
void BM_LoadAndRefreshEverySemester(benchmark::State& state) {
    const std::string& path = ResultFileOf(static_cast<int>(state.range(0)));
    static RecordTableArray table;
    SemesterTotalsData totals{};
    for (auto _ : state) { // NOLINT(clang-analyzer-deadcode.DeadStores)
        const LoadReport report = LoadRecordTable(path.c_str(), table);
        if (!report.Opened) {
            state.SkipWithError("cannot open the file");
            break;
        }
        for (int s = 0; s < SemesterCount; ++s) {
            SummarySlots slots = SummarizeRecords(table, totals, s);
            GpaResult gpa = SemesterGpa(totals, s);
            std::string cgpa = ComputeCumulative(totals);
            benchmark::DoNotOptimize(slots);
            benchmark::DoNotOptimize(gpa);
            benchmark::DoNotOptimize(cgpa);
        }
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_ReadFileBytes)->Arg(100)->Arg(100000);
BENCHMARK(BM_LoadAndSummarize)->Arg(100)->Arg(100000);
BENCHMARK(BM_LoadAndRefreshEverySemester)->Arg(100);

} // namespace

int main(int argc, char** argv) {
    EnsureExtendedPrecision();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
