#!/usr/bin/env bash
# The three ways users get the toolbox into Octave, each checked the same
# way (a call on the simulated camera, its help, the modules' exports, the
# toolbox's files and folders of manifest.mk, +brelk among them, as in the
# sources, then the whole Octave suite on the folder it produced):
#   1. the Octave package: the tarball, pkg install into a temporary prefix,
#      pkg load in a fresh octave-cli;
#   2. the in-host build script brelk_build.m, run in octave-cli;
#   3. cmake --install of the Octave build into a temporary prefix.
set -euo pipefail
source tools/lib.sh
need_packages cmake make g++ binutils octave liboctave-dev gnuplot-nox fonts-freefont-otf
build=${BRELK_OCTAVE_BUILD:-build-octave}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
octave() { octave-cli --no-init-file --no-history --quiet "$@"; }

# A call on the simulated camera from a fresh Octave, its help and the
# toolbox's listing (help brelk), and the folder the functions were found in
# (the last line printed).
check_call='
  text = evalc("s1 = BRELK_2_SetReadMode(\"SIM-MONO\", 0); s2 = BRELK_4_InitCamera(\"SIM-MONO\"); [s3, slots] = BRELK_8_GetCFWSlotsNum(\"SIM-MONO\");");
  expected = ["id = SIM-MONO\nreadMode = 0.000000\nSetup read mode successfully.\n" ...
              "Init camera'"'"'s parameters successfully.\nGet CFW slots number successfully.\n"];
  assert(text, expected);
  assert({s1, s2, s3, slots}, {int32(0), int32(0), int32(0), int32(7)});
  help_text = evalc("help BRELK_8_GetCFWSlotsNum");
  assert(! isempty(strfind(help_text, "BRELK_8_GetCFWSlotsNum Read the filter wheel")), help_text);
  listing = evalc("help brelk");
  assert(! isempty(strfind(listing, "BRELK_8_GetCFWSlotsNum       - Read the filter wheel")), listing);
  printf("%s\n", fileparts(which("BRELK_8_GetCFWSlotsNum")));'

# The same exports and SDK linking as the CMake build, then the whole suite.
suite() {
  bash tools/check-exports.sh "$1" mex
  check_toolbox_folder "$1"
  echo "--- Octave suite on $1"
  octave_suite "$1"
}

cmake -S . -B "$build" -DBRELK_HOST=octave >/dev/null

echo "--- 1. Octave package"
cmake --build "$build" --target octave_package
tarball=$(ls "$build"/brelk-*.tar.gz)
# The Makefile copies the toolbox's folders at every depth: a staged copy
# with +brelk three package levels deeper than the sources go.
deep=$work/deep
cp -R "$build/octave-package/brelk" "$deep"
mkdir -p "$deep/src/+brelk/+a/+b/+c"
printf 'function c()\nend\n' > "$deep/src/+brelk/+a/+b/+c/c.m"
make -s -C "$deep/src" layout
diff -r "$deep/src/+brelk" "$deep"/inst/*/+brelk && echo "the Makefile lays out +brelk at every depth"
prefix=$work/packages
mkdir -p "$prefix"
octave --eval "pkg('prefix', '$prefix', '$prefix'); pkg('local_list', '$prefix/octave_packages');
               pkg('install', '-local', '$tarball');"
folder=$(octave --eval "pkg('local_list', '$prefix/octave_packages'); pkg('load', 'brelk'); $check_call" | tail -n 1)
case "$folder" in
  "$prefix"/*) echo "pkg load found the functions in $folder" ;;
  *) echo "the functions did not come from the installed package: $folder" >&2; exit 1 ;;
esac
suite "$folder"

echo "--- 2. brelk_build in octave-cli"
octave --eval "brelk_build('', '$work/inhost/brelk');"
folder=$(octave --eval "addpath('$work/inhost/brelk'); $check_call" | tail -n 1)
[ "$folder" = "$work/inhost/brelk" ] || { echo "functions found in $folder" >&2; exit 1; }
suite "$folder"

echo "--- 3. cmake --install"
cmake --build "$build" -j"$(jobs)"
cmake --install "$build" --prefix "$work/install" >/dev/null
folder=$(octave --eval "addpath('$work/install/brelk'); $check_call" | tail -n 1)
[ "$folder" = "$work/install/brelk" ] || { echo "functions found in $folder" >&2; exit 1; }
suite "$folder"
