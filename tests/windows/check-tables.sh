#!/usr/bin/env bash
# Reads the export and import tables of every Windows DLL of a build and fails
# on anything a MATLAB installation would not satisfy:
#  - each module (mex/*.mexw64) exports exactly mexFunction and
#    mexfilerequiredapiversion, and imports from libmx.dll, libmex.dll and
#    brelkccd.dll only names that windows/<dll>.def lists (MATLAB's and the
#    SDK's own names), and otherwise only from the Windows system DLLs;
#  - every module source has its module, and every module its source;
#  - the stand-in libmx.dll and libmex.dll and the simulated brelkccd.dll
#    export every name of their .def file and need no DLL but the system's
#    (so no MinGW runtime DLL is needed anywhere).
# Usage: check-tables.sh <build dir> [<source dir>]
set -euo pipefail
build=${1:?usage: check-tables.sh <build dir> [<source dir>]}
source_dir=${2:-$(cd "$(dirname "$0")/../.." && pwd)}
objdump=${OBJDUMP:-x86_64-w64-mingw32-objdump}
defs=$source_dir/windows
failures=0

fail() { echo "FAIL $*"; failures=$((failures + 1)); }

# "E <name>" per export and "I <dll> <name>" per import, DLL names lower case.
tables() {
  "$objdump" -p "$1" | awk '
    /^\[Ordinal\/Name Pointer\] Table/ { section = "E"; next }
    /^[ \t]*DLL Name:/ { section = "I"; dll = tolower($3); print "D " dll; next }
    /^[ \t]*vma:.*Hint/ { next }
    /^[ \t]*$/ { section = ""; next }
    section == "E" && /^[ \t]*\[ *[0-9]+\]/ { print "E " $NF }
    section == "I" && NF >= 3 { print "I " dll " " $NF }
  '
}

def_names() { awk '/^EXPORTS/ { on = 1; next } on && NF && $1 !~ /^;/ { print $1 }' "$defs/$1.def" | sort; }

is_system_dll() {
  case $1 in
    kernel32.dll | msvcrt.dll | api-ms-win-crt-*.dll) return 0 ;;
    *) return 1 ;;
  esac
}

check_module() {
  local module=$1 name table
  name=$(basename "$module")
  table=$(tables "$module")
  local exports
  exports=$(awk '$1 == "E" { print $2 }' <<<"$table" | sort | tr '\n' ' ')
  [ "$exports" = "mexFunction mexfilerequiredapiversion " ] || fail "$name exports: $exports"
  local dll
  for dll in $(awk '$1 == "D" { print $2 }' <<<"$table" | sort -u); do
    case $dll in
      libmx.dll | libmex.dll | brelkccd.dll)
        local unknown
        unknown=$(comm -23 <(awk -v d="$dll" '$1 == "I" && $2 == d { print $3 }' <<<"$table" | sort -u) \
                           <(def_names "${dll%.dll}"))
        [ -z "$unknown" ] || fail "$name imports from $dll names not in windows/${dll%.dll}.def:" $unknown
        ;;
      *) is_system_dll "$dll" || fail "$name needs $dll" ;;
    esac
  done
  for dll in libmx.dll libmex.dll brelkccd.dll; do
    grep -qx "D $dll" <<<"$table" || fail "$name does not link against $dll"
  done
}

check_standin() {
  local file=$1 def=$2 name table
  name=$(basename "$file")
  [ -f "$file" ] || { fail "$name was not built"; return; }
  table=$(tables "$file")
  local missing
  missing=$(comm -23 <(def_names "$def") <(awk '$1 == "E" { print $2 }' <<<"$table" | sort -u))
  [ -z "$missing" ] || fail "$name does not export:" $missing
  local dll
  for dll in $(awk '$1 == "D" { print $2 }' <<<"$table" | sort -u); do
    is_system_dll "$dll" || [ "$name:$dll" = "libmex.dll:libmx.dll" ] || fail "$name needs $dll"
  done
}

count=0
for module in "$build"/mex/BRELK_*.mexw64; do
  [ -e "$module" ] || break
  count=$((count + 1))
  check_module "$module"
done
[ "$count" -gt 0 ] || fail "no modules in $build/mex"

# The modules match the module sources one to one.
sources=$(cd "$source_dir" && for f in setup/BRELK_*.cpp settings/BRELK_*.cpp info/BRELK_*.cpp \
            filterwheel/BRELK_*.cpp exposure/BRELK_*.cpp; do [ -e "$f" ] && basename "$f" .cpp; done | sort)
built=$(for f in "$build"/mex/BRELK_*.mexw64; do [ -e "$f" ] && basename "$f" .mexw64; done | sort)
if [ "$sources" != "$built" ]; then
  fail "modules built do not match the module sources (< source only, > module only):"
  diff <(echo "$sources") <(echo "$built") | grep '^[<>]' || true
fi

check_standin "$build/mexhost/libmx.dll" libmx
check_standin "$build/mexhost/libmex.dll" libmex
check_standin "$build/mex/brelkccd.dll" brelkccd

if [ "$failures" -gt 0 ]; then
  echo "$failures table check(s) failed"
  exit 1
fi
echo "$count modules and 3 stand-in DLLs: export and import tables as MATLAB needs them"
