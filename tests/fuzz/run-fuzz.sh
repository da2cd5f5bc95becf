#!/bin/bash
# Runs the result file fuzzer for a bounded time on a seed corpus of the golden files.
#   bash tests/fuzz/run-fuzz.sh BUILD_DIR SECONDS
# Exits non-zero on any finding (crash, leak, sanitizer report, broken promise) and leaves the
# input that caused it in BUILD_DIR/fuzz-findings.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$(cd "${1:?usage: $0 BUILD_DIR SECONDS}" && pwd)
seconds=${2:?usage: $0 BUILD_DIR SECONDS}
fuzzer=$build/tests/fuzz/records_fuzz
[[ -x $fuzzer ]] || { echo "run-fuzz: $fuzzer is missing (build the fuzz preset)" >&2; exit 2; }

# The corpus grows in the build folder; the golden files are only read.
corpus=$build/fuzz-corpus findings=$build/fuzz-findings log=$build/fuzz.log
mkdir -p "$corpus" "$findings"
cp "$root"/tests/golden/*.rst "$corpus"/
rm -f "$findings"/*

status=0
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=1024 \
    -dict="$root/tests/fuzz/records.dict" -artifact_prefix="$findings/" "$corpus" \
    >"$log" 2>&1 || status=$?

executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
echo "run-fuzz: ${executions:-?} executions in $seconds s, corpus $(ls "$corpus" | wc -l) inputs"
if ((status != 0)) || [[ -n $(ls -A "$findings") ]]; then
    tail -n 40 "$log" >&2
    echo "run-fuzz: FINDING (exit status $status); inputs in $findings:" >&2
    ls -l "$findings" >&2
    exit 1
fi
echo "run-fuzz: no findings"
