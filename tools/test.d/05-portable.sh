#!/usr/bin/env bash
# Portability of the .m code: no .m file of the project uses what runs in
# only one of MATLAB (R2017b or newer) and GNU Octave 7, since no MATLAB is
# here to try the code in (tools/check-portable.pl); and the check itself
# finds what it should (tests/portable). Build folders hold copies only;
# the suite's stand-in for MATLAB's string class is Octave's alone, never on
# MATLAB's path.
set -euo pipefail
bash tests/portable/check-portable-test.sh
mapfile -d '' files < <(find . \( -path './build*' -o -path './.*' -o -path ./tmp \
                             -o -path ./tests/octave/string_standin \) -prune \
                          -o -name '*.m' -print0 | sort -z)
perl tools/check-portable.pl "${files[@]}"
echo "portability: ${#files[@]} .m files checked"
