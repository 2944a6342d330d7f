#!/usr/bin/env bash
# Every module exports exactly mexFunction and mexfilerequiredapiversion and
# loads the camera SDK as a shared library.
set -euo pipefail
dir=$1 ext=$2
status=0 count=0
for module in "$dir"/BRELK_*."$ext"; do
  count=$((count + 1))
  exports=$(nm -D --defined-only "$module" | awk '{print $NF}' | sort | tr '\n' ' ')
  if [ "$exports" != "mexFunction mexfilerequiredapiversion " ]; then
    echo "FAIL $module exports: $exports"; status=1
  fi
  if ! readelf -d "$module" | grep -q 'NEEDED.*\[libbrelkccd\.so'; then
    echo "FAIL $module does not load libbrelkccd.so dynamically"; status=1
  fi
done
[ "$count" -gt 0 ] || { echo "FAIL no modules in $dir"; exit 1; }
echo "$count modules checked"
exit $status
