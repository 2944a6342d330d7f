#!/usr/bin/env bash
# A rehearsed night that dies and is resumed: a brelk.Sequence with a journal
# on SIM-MONO on the simulator's real clock, sped up (tests/rehearsal). The
# first octave-cli is stopped by Ctrl-C (SIGINT) after two frames and ends
# its night; a second resumes and is killed with kill -9 after two more; a
# third resumes and finishes. Then every planned frame must have been
# completed exactly once across the three, every whole line of the journal
# parse, and each night that ended have switched the cooler off.
set -euo pipefail
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev
build=${BRELK_OCTAVE_BUILD:-build-octave}
cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null
cmake --build "$build" -j"$(jobs)" >/dev/null
mex=$(cd "$build/mex" && pwd)
scale=${BRELK_REHEARSAL_SCALE:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
journal=$work/night.jsonl
# octave-cli in place of the subshell that runs this: in the background, $!
# is octave-cli's own process, the one the signals are for.
octave() {
  exec octave-cli --no-init-file --no-history --quiet --eval "addpath('$mex', '$PWD/tests/rehearsal'); $1"
}
night() { octave "rehearse_night('$journal', $scale);"; }
completed() { cat "$journal" 2>/dev/null | grep -c '"Event":"exposure".*"Result":"completed"' || true; }
# Until the journal holds $1 completed frames, for 60 s at the most.
await() {
  local i
  for ((i = 0; i < 600; i++)); do
    [ "$(completed)" -ge "$1" ] && return 0
    sleep 0.1
  done
  echo "rehearsal: the journal shows no $1 completed frames after 60 s" >&2
  return 1
}
start=$SECONDS
set -m                               # a job of its own: a script's background jobs ignore SIGINT
night & pid=$!
await 2
kill -INT "$pid"
wait "$pid" || true
night & pid=$!
await 4
sleep 0.2                            # into the next frame
kill -9 "$pid"
wait "$pid" 2>/dev/null || true
(night)
(octave "exit(rehearsal_check('$journal', 3, {'stopped', 'done'}) > 0);")
echo "rehearsal: $((SECONDS - start)) s"
