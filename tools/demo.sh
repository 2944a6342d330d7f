#!/usr/bin/env bash
# The demo: installs what is missing, builds the toolbox for GNU Octave with
# the simulated camera, and walks the camera through a night's work
# (examples/night_demo.m) in octave-cli.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev
build=${BRELK_OCTAVE_BUILD:-build-octave}
echo "Building the toolbox for GNU Octave in $build ..."
cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null
cmake --build "$build" -j"$(jobs)" >/dev/null
mex=$(cd "$build/mex" && pwd)
# No history file: Octave complains at exit where it cannot write one.
exec octave-cli --no-init-file --no-history --quiet \
  --eval "addpath('$mex'); run('examples/night_demo.m');"
