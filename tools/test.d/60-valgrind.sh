#!/usr/bin/env bash
# Valgrind memcheck of the normal build: the whole unit suite and a short fuzz
# run, failing on any memory error, any use of an uninitialised value and any
# definite, indirect or possible leak. Array data comes from the heap here
# (MEXHOST_ARRAY_DATA=heap) so memcheck watches both ends of every buffer.
set -euo pipefail
source tools/lib.sh
need_packages valgrind
build=${BRELK_BUILD:-build}
cmake -S . -B "$build" >/dev/null
cmake --build "$build" -j"$(jobs)" --target unit_tests brelk_fuzz
export MEXHOST_ARRAY_DATA=heap
memcheck=(valgrind -q --error-exitcode=1 --leak-check=full --show-leak-kinds=definite,indirect,possible
          --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes)
"${memcheck[@]}" "$build/tests/unit/unit_tests" --gtest_brief=1
"${memcheck[@]}" "$build/tests/fuzz/brelk_fuzz" --calls "${BRELK_VALGRIND_FUZZ_CALLS:-20000}" --seed 3 | tail -n 1
echo "memcheck: no errors, no leaks"
