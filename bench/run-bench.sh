#!/bin/bash
# Runs records_bench with its runs interleaved at random (so that a busy machine slows every
# benchmark alike) and prints the two ratios that matter, from the fastest repetition of each:
#   load and summarise 100 records / read the same file's bytes   (at most 2.5)
#   load and summarise 100000 records / load and summarise 100    (at most 1.5)
#   bash bench/run-bench.sh BUILD_DIR [REPETITIONS]
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [REPETITIONS]}
repetitions=${2:-20}
"$build/bench/records_bench" --benchmark_repetitions="$repetitions" \
    --benchmark_enable_random_interleaving=true --benchmark_min_time=0.1 \
    --benchmark_format=csv 2>/dev/null |
    awk -F, '
        NR > 1 && $1 !~ /_(mean|median|stddev|cv)"$/ {
            name = $1; gsub(/"/, "", name)
            if (!(name in best) || $3 < best[name]) best[name] = $3
        }
        END {
            for (name in best) printf "%-40s %12.0f ns (fastest of the repetitions)\n", name, best[name]
            read = best["BM_ReadFileBytes/100"]; small = best["BM_LoadAndSummarize/100"]
            large = best["BM_LoadAndSummarize/100000"]
            printf "load and summarise 100 / read bytes 100:       %.2f\n", small / read
            printf "load and summarise 100000 / load and summarise 100: %.2f\n", large / small
        }' | sort
