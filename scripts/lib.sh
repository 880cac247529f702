# Shared by the scripts in this folder.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
JOBS=$(nproc 2>/dev/null || echo 2)

# Packages the Linux build, the tool and its tests need.
LINUX_PACKAGES=(cmake make g++ pkg-config libgtest-dev libmagic-dev libmagic-mgc libseccomp-dev zlib1g-dev libtasn1-6-dev shared-mime-info file python3 time)

# install_missing PACKAGE...: installs, with apt-get, those not yet installed.
install_missing() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  if ((${#missing[@]})); then
    echo "installing: ${missing[*]}" >&2
    local sudo=()
    [[ $(id -u) -eq 0 ]] || sudo=(sudo)
    # Waits for another apt-get or dpkg run rather than failing on its lock.
    local lock=(-o DPkg::Lock::Timeout=900)
    "${sudo[@]}" apt-get "${lock[@]}" update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get "${lock[@]}" install -y -qq \
      --no-install-recommends "${missing[@]}" > /dev/null
  fi
}

# configure PRESET DIR [CMAKE_ARGS...]: configures the tree DIR with the
# settings of the CMake preset PRESET (CMakePresets.json), CMAKE_ARGS on top.
configure() {
  local preset=$1 dir=$2
  shift 2
  (cd "$ROOT" && cmake --preset "$preset" -B "$dir" "$@" > /dev/null)
}

# build PRESET DIR [CMAKE_ARGS...]: configures DIR as configure does and
# builds everything in it.
build() {
  configure "$@" && cmake --build "$2" -j "$JOBS"
}

# The test tally. Every suite adds one line "SUITE PASSED FAILED SKIPPED"
# to $TALLY_FILE; a script that runs several suites (scripts/test) shares
# its file with the scripts it calls, and print_totals sums it up.
open_tally() {
  if [[ -z ${TALLY_FILE:-} ]]; then
    TALLY_FILE=$(mktemp "${TMPDIR:-/tmp}/trueext-tally.XXXXXX")
    export TALLY_FILE
  fi
}

# record SUITE PASSED FAILED SKIPPED
record() {
  echo "$1 $2 $3 $4" >> "$TALLY_FILE"
}

# run_ctest SUITE PRESET DIR: runs every test of the build tree DIR with the
# settings of the CMake test preset PRESET and records the counts. A tree that registers no test fails, as does one whose ctest run
# fails without a failed test (a fixture that could not be set up, say).
run_ctest() {
  local suite=$1 preset=$2 dir=$3 junit="$3/ctest-results.xml" status=0 counts
  rm -f "$junit"
  (cd "$ROOT" && ctest --preset "$preset" --test-dir "$dir" -j "$JOBS" --output-junit "$junit") ||
    status=$?
  counts=$(python3 "$ROOT/scripts/junit-counts" "$junit" 2>/dev/null) || counts="0 0 0"
  read -r passed failed skipped <<< "$counts"
  if ((status != 0 && failed == 0)); then
    echo "$suite: ctest failed (status $status) with no failed test" >&2
    failed=1
  fi
  record "$suite" "$passed" "$failed" "$skipped"
}

# run_check SUITE COMMAND...: a suite that is one check; status 77 means the
# check skipped itself (it says why).
run_check() {
  local suite=$1 status=0
  shift
  "$@" || status=$?
  case $status in
    0) record "$suite" 1 0 0 ;;
    77) record "$suite" 0 0 1 ;;
    *) record "$suite" 0 1 0 ;;
  esac
}

# skip_suite SUITE REASON: records a suite that could not run, and says why.
skip_suite() {
  echo "skipped: $1: $2"
  record "$1" 0 0 1
}

# print_totals: the totals over every suite recorded, as one last line
# "N passed, N failed" (", N skipped" where any); fails when any test
# failed or nothing ran at all.
print_totals() {
  python3 - "$TALLY_FILE" <<'PY'
import sys
totals = [0, 0, 0]
for line in open(sys.argv[1]):
    suite, *counts = line.split()
    counts = [int(c) for c in counts]
    print(f"  {suite}: {counts[0]} passed, {counts[1]} failed, {counts[2]} skipped")
    totals = [t + c for t, c in zip(totals, counts)]
passed, failed, skipped = totals
summary = f"{passed} passed, {failed} failed"
if skipped:
    summary += f", {skipped} skipped"
print(summary)
sys.exit(1 if failed or not passed else 0)
PY
}
