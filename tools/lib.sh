# Shared by the tools: install Debian packages that are missing.
# Usage: need_packages pkg...
need_packages() {
  local missing=()
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" || missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [ -z "${BRELK_APT_UPDATED:-}" ]; then
    $sudo apt-get update -qq || return 1
    export BRELK_APT_UPDATED=1
  fi
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# The number of parallel build jobs.
jobs() { nproc 2>/dev/null || echo 2; }

# The test suite (tests/octave/run_tests.m) in a fresh octave-cli on the
# toolbox folder $1, only the test files whose name has $2 if given. Fails
# when a test fails or is skipped: every route here has the simulated camera.
# No history file: Octave complains at exit where it cannot write one.
octave_suite() {
  octave-cli --no-init-file --no-history --quiet --eval \
    "addpath('$PWD/tests/octave'); [failed, skipped] = run_tests('$1', '${2:-}'); exit(failed + skipped > 0);"
}

# The words of manifest.mk's line `$1 := words`.
manifest() { sed -n "s/^$1[[:space:]]*:=[[:space:]]*//p" manifest.mk; }

# The toolbox folder $1 as manifest.mk lays it out: each of its files and
# folders as in the sources (an octave/ file made from a .in file present).
# pkg install adds the index doc-cache to every plain folder.
check_toolbox_folder() {
  local file
  for file in $(manifest TOOLBOX_FILES); do
    cmp "$file" "$1/${file##*/}" || return 1
  done
  for file in $(manifest TOOLBOX_OCTAVE_FILES); do
    case "$file" in
      *.in) file=${file%.in}; [ -f "$1/octave/${file##*/}" ] || { echo "$1 has no octave/${file##*/}" >&2; return 1; } ;;
      *) cmp "$file" "$1/octave/${file##*/}" || return 1 ;;
    esac
  done
  for file in $(manifest TOOLBOX_FOLDERS); do
    diff -r -x doc-cache "$file" "$1/$file" || return 1
    echo "$file as in the sources"
  done
}
