#!/usr/bin/env bash
# The demo: installs what is missing, builds the toolbox for GNU Octave with
# the simulated camera, and runs a night's session on it with brelk.Camera
# (examples/night_session.m) in octave-cli, on the simulator's manual clock.
# The session is a brelk.Sequence with a journal, which rides out a scripted
# fault of the filter wheel and a camera that drops out. It writes the
# night's temperature plot to a PNG file and the journal beside it, and
# prints both paths: octave-cli draws with gnuplot, which needs a font.
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev gnuplot-nox fonts-freefont-otf
build=${BRELK_OCTAVE_BUILD:-build-octave}
echo "Building the toolbox for GNU Octave in $build ..."
cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null
cmake --build "$build" -j"$(jobs)" >/dev/null
build=$(cd "$build" && pwd)
# No history file: Octave complains at exit where it cannot write one.
exec octave-cli --no-init-file --no-history --quiet \
  --eval "addpath('$build/mex'); plot_file = '$build/night_session.png'; run('examples/night_session.m');"
