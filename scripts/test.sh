#!/usr/bin/env bash
# Sets everything up (see setup.sh), builds and runs every test: once as the
# machine is, once more under the Czech locale, whose decimal comma must not
# change a single number the program shows or reads; then the whole suite once
# more built with AddressSanitizer and UndefinedBehaviorSanitizer, and every
# fuzz target for a minute on its corpus (scripts/fuzz.sh).
#
#   scripts/test.sh           everything (what CI runs)
#   scripts/test.sh --quick   the build and the two test runs only
set -euo pipefail
cd "$(dirname "$0")/.."

# Prints how long each stage took, so that slow ones show in the CI log: the
# time on the clock, and the processor time, which other work sharing the
# machine does not stretch.
times_file=$(mktemp)
trap 'rm -f "$times_file"' EXIT
cpu_seconds() { # of the finished child processes, as `times` last wrote them, minus $1
  awk -v since="${1:-0}" 'NR == 2 { split($1, u, /[ms]/); split($2, s, /[ms]/);
    printf "%d\n", u[1] * 60 + u[2] + s[1] * 60 + s[2] - since }' "$times_file"
}
stage() {
  local name=$1 start=$SECONDS before
  shift
  echo "== $name"
  times >"$times_file" # here, not in a subshell, which would count none
  before=$(cpu_seconds)
  "$@"
  times >"$times_file"
  echo "== $name: $((SECONDS - start)) s, $(cpu_seconds "$before") s of processor time"
}

stage "setup and build" scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
stage "tests" ctest --test-dir build --output-on-failure -j"$(nproc)"
stage "tests (cs_CZ.UTF-8)" env LC_ALL=cs_CZ.UTF-8 LANG=cs_CZ.UTF-8 \
  ctest --test-dir build --output-on-failure -j"$(nproc)"
[ "${1:-}" = "--quick" ] && exit 0

# Unoptimised: it builds in half the time and hides no fault from the sanitizers.
stage "sanitizer build" sh -c 'cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DINFIL_SANITIZE=ON -DINFIL_WERROR=ON >/dev/null &&
  cmake --build build-asan -j"$(nproc)"'
# The system libraries' own leaks are suppressed; ours are not.
export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan.supp${LSAN_OPTIONS:+:$LSAN_OPTIONS}"
stage "sanitizer tests" ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
stage "sanitizer tests (cs_CZ.UTF-8)" env LC_ALL=cs_CZ.UTF-8 LANG=cs_CZ.UTF-8 \
  ctest --test-dir build-asan --output-on-failure -j"$(nproc)"
stage "fuzzing" scripts/fuzz.sh 60
