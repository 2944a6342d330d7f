#!/usr/bin/env bash
# Octave suite: the modules built for GNU Octave, called from real octave-cli
# scripts on the simulated cameras (tests/octave/run_tests.m). gnuplot and a
# font: the suite draws brelk.Camera's temperature plot in octave-cli.
set -euo pipefail
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev gnuplot-nox fonts-freefont-otf
build=${BRELK_OCTAVE_BUILD:-build-octave}
cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null
cmake --build "$build" -j"$(jobs)"
bash tools/check-exports.sh "$build/mex" mex
check_toolbox_folder "$build/mex"
octave_suite "$build/mex"
# Seeded random calls of every function in one octave-cli session, inputs of
# every class in every position: the session must survive them all.
seed=${BRELK_OCTAVE_FUZZ_SEED:-20261210}
calls=${BRELK_OCTAVE_FUZZ_CALLS:-30000}
octave-cli --no-init-file --no-history --quiet \
  --eval "addpath('$(cd "$build/mex" && pwd)', '$(pwd)/tests/octave'); fuzz_calls($seed, $calls);"
# Seeded random operations of brelk.Camera and brelk.FilterWheel on the
# manual clock, with SDK faults, each checked against a model of the
# simulated cameras; a failure prints the command that replays it.
layer_seed=${BRELK_LAYER_FUZZ_SEED:-20261210}
layer_steps=${BRELK_LAYER_FUZZ_STEPS:-2000}
octave-cli --no-init-file --no-history --quiet \
  --eval "addpath('$(cd "$build/mex" && pwd)', '$(pwd)/tests/octave'); fuzz_layer($layer_seed, $layer_steps);"
