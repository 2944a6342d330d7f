#!/usr/bin/env bash
# What one call of a toolbox function costs: a setter, the region of
# interest, chip info, the colour pattern, the wheel status, the cooler's
# power and an open failure, each against its hand-written twin (the floor:
# the same function with no frame) and against the baseline MEX function
# (status and one line: the host's own minimum), in the stand-in host (time
# and callgrind instruction counts); the same against the baseline in GNU
# Octave; then a long polling run's resident memory. Last, what the
# brelk.Camera layer costs in Octave against the same functions called
# through evalc, and its call log held at its limit
# (benchmarks/octave/bench_layer.m). Release builds.
#
#   tools/bench.sh                  everything (two or three minutes)
#   BRELK_BENCH_OCTAVE=0 tools/bench.sh   without the Octave parts
#   BRELK_BENCH_ONLY=layer tools/bench.sh the layer only (about a minute)
#   BRELK_BENCH_PROFILE=1               the layer's profile per row as well
# The layer's sizes: BRELK_BENCH_LAYER_CALLS (2000 a row), _ROUNDS (7) and
# _LOG (100000 writes before the log's timing).
# Build folders: $BRELK_BENCH_BUILD (build-bench) and $BRELK_BENCH_OCTAVE_BUILD
# (build-bench-octave).
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib.sh
build=${BRELK_BENCH_BUILD:-build-bench}
octave_build=${BRELK_BENCH_OCTAVE_BUILD:-build-bench-octave}
long_calls=${BRELK_BENCH_LONG_CALLS:-1000000}
counted_calls=2048  # 8 at each 16-byte stack position in a page (bench_calls.cpp)
only=${BRELK_BENCH_ONLY:-}
case "$only" in
  '' | layer) ;;
  *) echo "BRELK_BENCH_ONLY is layer, or unset for everything, not '$only'" >&2; exit 2 ;;
esac

build_octave() {
  need_packages cmake make g++ octave liboctave-dev
  echo
  echo "== Building (Release, Octave host): $octave_build"
  cmake -S . -B "$octave_build" -DBRELK_HOST=octave -DCMAKE_BUILD_TYPE=Release -DBRELK_BUILD_BENCHMARKS=ON >/dev/null
  cmake --build "$octave_build" -j"$(jobs)" >/dev/null
}

layer() {
  local profiled=false
  [ "${BRELK_BENCH_PROFILE:-0}" = 0 ] || profiled=true
  echo
  echo "== GNU Octave: the brelk.Camera layer against its evalc floor, interleaved rounds, the best counting"
  octave-cli --no-init-file --no-history --quiet --eval \
    "addpath('benchmarks/octave'); bench_layer('$octave_build/mex', ${BRELK_BENCH_LAYER_CALLS:-2000}, ${BRELK_BENCH_LAYER_ROUNDS:-7}, ${BRELK_BENCH_LAYER_LOG:-100000}, $profiled);"
}

if [ "$only" = layer ]; then
  build_octave
  layer
  exit 0
fi

need_packages cmake make g++ libbenchmark-dev valgrind

echo "== Building (Release): $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBRELK_BUILD_TESTS=OFF -DBRELK_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j"$(jobs)" --target bench_calls >/dev/null
bench=$build/bench/bench_calls

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

# Instructions per call, inside brelkbench_counted only: repeatable where
# times on a shared machine are not.
instructions() {
  local out=$scratch/callgrind.$1
  valgrind --tool=callgrind --toggle-collect=brelkbench_counted --callgrind-out-file="$out" \
    "$bench" --count="$1" --calls=$counted_calls >/dev/null 2>&1
  awk -v n=$counted_calls '/^summary:/ { printf "%.0f", $2 / n }' "$out"
}
echo "== Counting instructions (callgrind, $counted_calls calls each)"
for label in baseline baseline7 setter roi chipinfo debayer cfwstatus coolerpwm openfail; do
  sdk=0 twin=0
  if [[ $label != baseline* ]]; then
    sdk=$(instructions "$label:sdk")
    twin=$(instructions "$label:twin")
  fi
  echo "$label $(instructions "$label") $sdk $twin" >>"$scratch/counts"
done

echo
echo "== Stand-in host: one call, best of 10 interleaved runs of 0.1 s"
echo "Against the hand-written twin: ratio = module figure / twin figure"
"$bench" --instructions="$scratch/counts" --benchmark_repetitions=10 --benchmark_min_time=0.1 \
  --benchmark_enable_random_interleaving=true

echo
echo "== Long run: $long_calls calls of each polling function, resident memory before and after"
"$bench" --long-run="$long_calls"

if [ "${BRELK_BENCH_OCTAVE:-1}" != 0 ]; then
  build_octave
  echo
  echo "== GNU Octave: N calls in a loop (tic/toc), ratio = time / baseline time"
  # What the functions print goes nowhere, as a command window consumes it;
  # the table comes on standard error.
  octave-cli --no-init-file --no-history --quiet --eval \
    "addpath('benchmarks/octave'); bench_calls('$octave_build/mex', '$octave_build/bench', 20000, 3);" 2>&1 >/dev/null
  layer
fi
