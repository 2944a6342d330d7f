#!/usr/bin/env bash
# Unit tests: the modules built for the stand-in host, called as MATLAB calls them.
set -euo pipefail
source tools/lib.sh
build=${BRELK_BUILD:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(jobs)"
ctest --test-dir "$build" --output-on-failure -j"$(jobs)"
