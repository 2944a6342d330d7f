#!/usr/bin/env bash
# Windows: the modules cross-built as .mexw64 with MinGW-w64, their export and
# import tables checked, the toolbox's files and folders beside them
# (manifest.mk: +brelk, examples, ...), and the unit tests run under Wine
# against them.
set -euo pipefail
source tools/lib.sh
need_packages cmake make g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 googletest

build=${BRELK_WINDOWS_BUILD:-build-windows}
mkdir -p "$build"
build=$(cd "$build" && pwd)

# A Wine prefix of this build's own: console programs only, no display, no
# prompts for Mono or Gecko, no debugger on a crash. Its server is kept up
# until the step ends: otherwise every restart brings up Wine's services
# again, which hold on to the output of the test that started them for
# seconds. Creating the prefix takes a while on a fresh machine, so it is done
# here, before the build lists the tests under Wine.
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml,winedbg.exe="
wine=$(command -v wine || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver || echo /usr/lib/wine/wineserver64)
trap '"$wineserver" -k 2>/dev/null || true' EXIT
start=$SECONDS
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
if ! timeout 600 "$wine" wineboot --init </dev/null >"$build/wineboot.log" 2>&1; then
  cat "$build/wineboot.log"
  echo "Wine could not prepare its prefix $WINEPREFIX"
  exit 1
fi
echo "Wine prefix ready in $((SECONDS - start)) s"

cmake -S . -B "$build" --toolchain cmake/toolchain-mingw64.cmake >/dev/null
cmake --build "$build" -j"$(jobs)"

tests/windows/check-tables.sh "$build" .
check_toolbox_folder "$build/mex"
ctest --test-dir "$build" --output-on-failure -j"$(jobs)"
