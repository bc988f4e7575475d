#!/usr/bin/env bash
# Measures Infil's speed against its targets. Builds an optimised copy in
# ./build-bench (Release at -O2, as Debian builds its packages), then
#   - runs the benchmarks (a design per technology, a keystroke, the report,
#     a station load) with repetitions and prints each one's median;
#   - times the start to the first painted window under Xvfb, Infil next to a
#     bare Qt window with four tabs (the floor), and prints the ratio.
#
#   scripts/bench.sh              both
#   scripts/bench.sh --micro      the benchmarks only
#   scripts/bench.sh --startup    the start-up only
#   BENCH_REPETITIONS=20 STARTUP_RUNS=31 scripts/bench.sh   more samples
#
# Other developers' builds disturb the figures: run it when `uptime` shows a
# load well below 1, and repeat.
set -euo pipefail
cd "$(dirname "$0")/.."

micro=1 startup=1
case "${1:-}" in
  --micro) startup=0 ;;
  --startup) micro=0 ;;
  "") ;;
  *) echo "usage: scripts/bench.sh [--micro|--startup]" >&2; exit 2 ;;
esac
repetitions="${BENCH_REPETITIONS:-10}"
runs="${STARTUP_RUNS:-15}"

scripts/setup.sh --no-build
cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" \
  -DINFIL_BENCH=ON -DINFIL_BUILD_TESTS=OFF -DINFIL_WERROR=ON >/dev/null
cmake --build build-bench -j"$(nproc)" >/dev/null
bin=build-bench/bin

echo "machine: $(lscpu | sed -n 's/^Model name: *//p'), $(nproc) cores; $(date -u +%Y-%m-%d); load:$(uptime | sed 's/.*load average://')"

if [ "$micro" = 1 ]; then
  # Repetitions interleaved at random, so a busy moment does not hit one
  # benchmark alone; the median of each is printed against its target.
  printf "%-36s %10s %10s   %s\n" "benchmark (median)" "wall" "cpu" "target"
  "$bin/infil_bench" --benchmark_repetitions="$repetitions" --benchmark_enable_random_interleaving=true \
    --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
  awk -F, '
    function target(name) {
      if (name ~ /^design\//) return 2000
      if (name ~ /^keystroke\//) return 20000
      if (name == "report/lines_and_encoding") return 1000000
      if (name == "station_load/child_process") return 5000000
      return 0
    }
    function ns(value, unit) {
      return value * (unit == "us" ? 1e3 : unit == "ms" ? 1e6 : unit == "s" ? 1e9 : 1)
    }
    function show(value) {
      return value >= 1e6 ? sprintf("%.2f ms", value / 1e6) : value >= 1e3 ? sprintf("%.1f us", value / 1e3) : sprintf("%.0f ns", value)
    }
    $1 ~ /_median"$/ {
      name = $1; gsub(/"/, "", name); sub(/_median$/, "", name); sub(/\/real_time$/, "", name)
      wall = ns($3, $5); cpu = ns($4, $5); t = target(name)
      verdict = t == 0 ? "" : (wall <= t ? show(t) " ok" : show(t) " MISSED")
      printf "%-36s %10s %10s   %s\n", name, show(wall), show(cpu), verdict
    }
    $9 == "true" {
      name = $1; gsub(/"/, "", name); sub(/\/real_time$/, "", name)
      message = $0; sub(/^[^"]*"[^"]*"[^"]*"/, "", message); sub(/"$/, "", message)
      if (!((name, message) in said)) { said[name, message] = 1; printf "%-36s %s\n", name, message }
    }' | sort
fi

if [ "$startup" = 1 ]; then
  # Qt warns on every start without a runtime folder; give it one.
  if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
    XDG_RUNTIME_DIR="$(mktemp -d)"
    export XDG_RUNTIME_DIR
    trap 'rm -rf "$XDG_RUNTIME_DIR"' EXIT
  fi
  # The probe in both programs prints the moment of the first paint; the
  # timer subtracts the moment it started them. xcb under Xvfb, whatever the
  # caller's platform.
  env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x1024x24" \
    "$bin/startup_timer" --runs "$runs" --warmup 2 "$bin/floor_window" "$bin/infil"
  echo "target: infil at most 1.3 x the floor"
fi
