#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into ./build-fuzz and runs each one
# on its corpus for a while; a crash, a hang or a broken promise of a target
# fails the run and leaves the input in build-fuzz/artifacts/NAME/.
#
#   scripts/fuzz.sh [SECONDS]     every target, SECONDS each (default 60)
#   scripts/fuzz.sh --merge NAME  minimise the corpus of NAME with what the
#                                 runs found (build-fuzz/corpus/NAME) into
#                                 fuzz/NAME/corpus, to review and commit
#
# A target NAME is fuzz/NAME/fuzz_NAME.cpp with its corpus fuzz/NAME/corpus/
# and one line in fuzz/CMakeLists.txt. The runs write what they find into
# build-fuzz/corpus/NAME, never into the corpus kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DINFIL_FUZZ=ON -DINFIL_BUILD_TESTS=OFF -DINFIL_WERROR=ON >/dev/null
cmake --build build-fuzz --target fuzz -j"$(nproc)"

if [ "${1:-}" = "--merge" ]; then
  name=${2:?which target}
  fresh=$(mktemp -d)
  build-fuzz/bin/"fuzz_$name" -merge=1 "$fresh" "fuzz/$name/corpus" "build-fuzz/corpus/$name"
  rm -rf "fuzz/$name/corpus" && mv "$fresh" "fuzz/$name/corpus" && chmod 755 "fuzz/$name/corpus"
  echo "fuzz: fuzz/$name/corpus now holds $(ls "fuzz/$name/corpus" | wc -l) inputs"
  exit 0
fi

seconds=${1:-60}
status=0
for dir in fuzz/*/; do
  name=$(basename "$dir")
  target=build-fuzz/bin/fuzz_$name
  if [ ! -x "$target" ]; then
    echo "fuzz: $dir has no target fuzz_$name: add its line to fuzz/CMakeLists.txt" >&2
    status=1
    continue
  fi
  mkdir -p "build-fuzz/corpus/$name" "build-fuzz/artifacts/$name"
  log=build-fuzz/artifacts/$name/last-run.log
  start=$SECONDS
  if "$target" "build-fuzz/corpus/$name" "${dir}corpus" -max_total_time="$seconds" -timeout=25 \
       -rss_limit_mb=2048 -artifact_prefix="build-fuzz/artifacts/$name/" -print_final_stats=1 >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz: $name: ${runs:-?} inputs in $((SECONDS - start)) s, no fault"
  else
    echo "fuzz: $name FAILED (the input is in build-fuzz/artifacts/$name/):" >&2
    tail -n 60 "$log" >&2
    status=1
  fi
done
exit $status
