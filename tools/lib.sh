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
