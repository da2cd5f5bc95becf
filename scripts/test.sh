#!/bin/bash
# Builds and runs every test: native, under sanitizers, a short fuzzing run, and the Windows
# build under Wine on a private virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/install-deps.sh

echo "== native build and tests"
cmake --preset native
cmake --build --preset native
ctest --preset native

echo "== tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset sanitize
cmake --build --preset sanitize
ctest --preset sanitize

echo "== fuzzing (short run on the golden files)"
cmake --preset fuzz
cmake --build --preset fuzz
bash tests/fuzz/run-fuzz.sh build/fuzz 60

echo "== Windows build and tests under Wine"
cmake --preset windows
cmake --build --preset windows

source scripts/wine-env.sh
wine_env_start "$root/build/windows/wineprefix"
trap wine_env_stop EXIT
ctest --preset windows
