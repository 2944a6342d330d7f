#!/usr/bin/env bash
# Octave suite: the modules built for GNU Octave, called from real octave-cli
# scripts on the simulated cameras (tests/octave/run_tests.m).
set -euo pipefail
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev
build=${BRELK_OCTAVE_BUILD:-build-octave}
cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null
cmake --build "$build" -j"$(jobs)"
bash tools/check-exports.sh "$build/mex" mex
# No history file: Octave complains at exit where it cannot write one.
octave-cli --no-init-file --no-history --quiet tests/octave/run_tests.m "$build/mex"
