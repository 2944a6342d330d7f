#!/usr/bin/env bash
# The unit suite built with AddressSanitizer and UndefinedBehaviorSanitizer:
# modules, stand-in host, simulated SDK and tests, stopping at the first report.
set -euo pipefail
source tools/lib.sh
source tests/fuzz/sanitizers.sh
build_sanitized
ctest --test-dir "$sanitizer_build" --output-on-failure -j"$(jobs)"
