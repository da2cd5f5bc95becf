#!/bin/bash
# Builds the program and runs it (placeholder: the core's report on the example file).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset native
cmake --build --preset native --target gradewick-cli
build/native/tools/gradewick-cli report examples/example.rst
