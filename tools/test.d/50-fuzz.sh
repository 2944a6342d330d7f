#!/usr/bin/env bash
# Fuzzing: a fixed-seed run of generated calls into all 35 modules, built with
# AddressSanitizer and UndefinedBehaviorSanitizer, each call checked by the
# driver (tests/fuzz/brelk_fuzz.cpp). A longer run with a seed of its own:
#   BRELK_FUZZ_CALLS=50000000 BRELK_FUZZ_SEED=$RANDOM bash tools/test.d/50-fuzz.sh
set -euo pipefail
source tools/lib.sh
source tests/fuzz/sanitizers.sh
build_sanitized brelk_fuzz
"$sanitizer_build/tests/fuzz/brelk_fuzz" --require-all \
  --calls "${BRELK_FUZZ_CALLS:-1000000}" --seed "${BRELK_FUZZ_SEED:-20261210}"
